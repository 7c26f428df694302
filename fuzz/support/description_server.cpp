#include "description_server.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uint16_t kHttpPort = 80;
constexpr int kPollMs = 50;
constexpr int kRequestWaitMs = 2000;
constexpr int kRequestReads = 64;

int OpenListener()
{
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0)
        return -1;
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kHttpPort);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 16) != 0) {
        close(listener);
        return -1;
    }
    return listener;
}

}  // namespace

DescriptionServer::DescriptionServer() : m_listener(OpenListener())
{
    if (m_listener >= 0)
        m_thread = std::thread([this] { Serve(); });
}

DescriptionServer::~DescriptionServer()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        close(m_listener);
}

void DescriptionServer::SetResponse(const std::string& response)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_response = response;
}

void DescriptionServer::Serve()
{
    while (!m_stopping) {
        pollfd watched{m_listener, POLLIN, 0};
        if (poll(&watched, 1, kPollMs) <= 0)
            continue;
        const int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        Answer(connection);
        close(connection);
    }
}

void DescriptionServer::Answer(int connection)
{
    std::string request;
    char buffer[512];
    for (int reads = 0; reads < kRequestReads && request.find("\r\n\r\n") == std::string::npos; ++reads) {
        pollfd watched{connection, POLLIN, 0};
        if (poll(&watched, 1, kRequestWaitMs) <= 0)
            break;
        const ssize_t received = recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0)
            break;
        request.append(buffer, static_cast<size_t>(received));
    }
    std::string response;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        response = m_response;
    }
    send(connection, response.data(), response.size(), MSG_NOSIGNAL);
}
