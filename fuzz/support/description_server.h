#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

// An HTTP server on every local address of the namespace, port 80, for the
// description fetch: each connection gets the response set last, once the
// request's empty line has arrived (or the wait for it has ended), then the
// connection closes. Serves one connection at a time on its own thread.
class DescriptionServer {
public:
    DescriptionServer();
    ~DescriptionServer();
    DescriptionServer(const DescriptionServer&) = delete;
    DescriptionServer& operator=(const DescriptionServer&) = delete;

    bool listening() const { return m_listener >= 0; }
    void SetResponse(const std::string& response);

private:
    void Serve();
    void Answer(int connection);

    std::mutex m_mutex;
    std::string m_response;
    int m_listener = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
