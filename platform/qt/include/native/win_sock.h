#pragma once

// Socket types over the Linux socket API. Option numbers are the Linux
// ones; WSAGetLastError is errno.

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "win_types.h"

inline constexpr SOCKET INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;
inline constexpr int WSAEWOULDBLOCK = EWOULDBLOCK;
inline constexpr int WSAEMSGSIZE = EMSGSIZE;
inline constexpr int WSAETIMEDOUT = ETIMEDOUT;
// A socket's queue was full and datagrams after this point were dropped.
inline constexpr int WSAENOBUFS = ENOBUFS;
// Linux has no "don't linger" option; the socket layer maps it to SO_LINGER off.
inline constexpr int SO_DONTLINGER = ~SO_LINGER;

inline int WSAGetLastError() { return errno; }

// Interface flags as the interface list reports them.
inline constexpr DWORD IFF_UP = 1;
inline constexpr DWORD IFF_BROADCAST = 2;
inline constexpr DWORD IFF_LOOPBACK = 4;
inline constexpr DWORD IFF_MULTICAST = 16;

union sockaddr_gen {
    sockaddr Address;
    sockaddr_in AddressIn;
};

struct INTERFACE_INFO {
    DWORD iiFlags = 0;
    sockaddr_gen iiAddress{};
    sockaddr_gen iiBroadcastAddress{};
    sockaddr_gen iiNetmask{};
    // Linux's addition: the kernel's index of the interface that holds the
    // address, the same for each of its addresses; 0 when not known.
    DWORD iiIndex = 0;
};
