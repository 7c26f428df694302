#include "loopback_http_server.h"

#include <chrono>

#include "isolated_network.h"
#include "tcp_listener.h"

LoopbackHttpServer::LoopbackHttpServer(std::string response, int answerDelayMs)
    : m_response(std::move(response)), m_answerDelayMs(answerDelayMs)
{
    m_listener = ListenOnFreePort(kNeighbourAddress, 16, m_port);
    m_thread = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stopping = true;
    m_thread.join();
    CloseTestSocket(m_listener);
}

std::string LoopbackHttpServer::Url(const std::string& path) const
{
    return "http://" + std::string(kNeighbourAddress) + ":" + std::to_string(m_port) + "/" + path;
}

void LoopbackHttpServer::Serve()
{
    while (!m_stopping) {
        if (!WaitReadable(m_listener, 50))
            continue;
        const TestSocket connection = accept(m_listener, nullptr, nullptr);
        if (connection == TestSocket(-1))
            continue;
        ++m_connections;
        Answer(connection);
        CloseTestSocket(connection);
    }
}

void LoopbackHttpServer::Answer(TestSocket connection)
{
    std::string request;
    char buffer[512];
    for (int reads = 0; reads < 100 && request.find("\r\n\r\n") == std::string::npos; ++reads) {
        if (!WaitReadable(connection, 2000))
            return;
        const auto received = recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0)
            return;
        request.append(buffer, static_cast<size_t>(received));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(m_answerDelayMs));
    send(connection, m_response.data(), static_cast<int>(m_response.size()), kNoSignalFlag);
}

std::string DescriptionResponse(const std::string& hostname, const std::string& modelName,
                                const std::string& modelNumber, const std::string& serial, const std::string& guid,
                                const std::string& presentationUrl)
{
    const std::string body = "<?xml version=\"1.0\"?>\r\n<root><device>"
                             "<modelDescription>Indicator \"" + hostname + "\" on line 3</modelDescription>"
                             "<modelName>" + modelName + "</modelName>"
                             "<modelNumber>" + modelNumber + "</modelNumber>"
                             "<serialNumber>" + serial + "</serialNumber>"
                             "<UDN>uuid:" + guid + "</UDN>"
                             "<presentationURL>" + presentationUrl + "</presentationURL>"
                             "</device></root>";
    return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}
