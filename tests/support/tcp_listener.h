#pragma once

#include "test_socket.h"

// A TCP socket listening on the dotted address, on a port the system picks;
// returns the socket and sets port.
inline TestSocket ListenOnFreePort(const char* dottedAddress, int backlog, int& port)
{
    TestSocket listener = OpenTestSocket(SOCK_STREAM);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(dottedAddress);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, backlog);
    SocketLength length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}
