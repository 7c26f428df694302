#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

// A TCP socket listening on the dotted address, on a port the system picks;
// returns the socket and sets port.
inline int ListenOnFreePort(const char* dottedAddress, int backlog, int& port)
{
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(dottedAddress);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, backlog);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}
