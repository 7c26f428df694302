#include "http_listener.h"

#include <sys/socket.h>

#include <string>

#include "system_call.h"

namespace sim {

UniqueFd OpenHttpListener(in_addr address, int port)
{
    const std::string where = "HTTP port " + std::to_string(port);
    UniqueFd listener(CheckSystemCall(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0), where));
    int reuse = 1;
    CheckSystemCall(setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse), where);
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(static_cast<uint16_t>(port));
    endpoint.sin_addr = address;
    CheckSystemCall(bind(listener.get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint),
                    "bind " + where);
    CheckSystemCall(listen(listener.get(), 64), "listen on " + where);
    return listener;
}

}  // namespace sim
