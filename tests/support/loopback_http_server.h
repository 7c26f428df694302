#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "test_socket.h"

// A small HTTP server for tests on the isolated namespace's neighbour address
// (a device on the LAN, not this PC): answers every connection with the same
// response once the request's empty line has arrived, then closes.
class LoopbackHttpServer {
public:
    // The answer waits answerDelayMs after the request, as a slow device's does.
    explicit LoopbackHttpServer(std::string response, int answerDelayMs = 0);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return m_port; }
    std::string Url(const std::string& path) const;
    int connections() const { return m_connections.load(); }

private:
    void Serve();
    void Answer(TestSocket connection);

    std::string m_response;
    int m_answerDelayMs;
    TestSocket m_listener{};
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

// A device description response as an indicator serves it.
std::string DescriptionResponse(const std::string& hostname, const std::string& modelName,
                                const std::string& modelNumber = "K3-100", const std::string& serial = "SN-0001",
                                const std::string& guid = "11111111-2222-3333-4444-555555555555",
                                const std::string& presentationUrl = "http://10.77.1.20/");
