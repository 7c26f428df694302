#include <winsock2.h>

#include <ws2tcpip.h>

#include <cstdlib>
#include <cstring>

#include "isolated_network.h"

namespace {

// Only inside the namespace is the neighbour's address one of this host's.
// Windows Sockets stays started for the tests' own peers.
bool NeighbourAddressIsLocal()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    SOCKET probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, kNeighbourAddress, &address.sin_addr);
    const bool local = probe != INVALID_SOCKET &&
                       bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    closesocket(probe);
    return local;
}

}  // namespace

// A Windows program cannot make a namespace: tests/support/wine_in_namespace.sh
// makes it, laid out as IsolateNetwork does on Linux, runs Wine inside and
// says so in the environment.
bool IsolateNetwork()
{
    const char* isolated = std::getenv("QUORVEL_ISOLATED_NETWORK");
    return isolated && std::strcmp(isolated, "1") == 0 && NeighbourAddressIsLocal();
}
