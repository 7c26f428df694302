#pragma once

// The few socket calls the tests' own peers make, the same on Linux and on
// Windows (where the test main has started Windows Sockets).

#ifdef _WIN32
#include <winsock2.h>

#include <ws2tcpip.h>

using TestSocket = SOCKET;
using SocketLength = int;
inline constexpr int kNoSignalFlag = 0;

inline constexpr TestSocket kNoTestSocket = INVALID_SOCKET;

inline TestSocket OpenTestSocket(int type) { return socket(AF_INET, type, 0); }
inline void CloseTestSocket(TestSocket socket) { closesocket(socket); }
inline void MakeNonBlocking(TestSocket socket)
{
    u_long on = 1;
    ioctlsocket(socket, FIONBIO, &on);
}
inline int LastSocketError() { return WSAGetLastError(); }
// What a datagram socket's next read fails with once its peer's port
// answered "unreachable", and what a call on no socket fails with.
inline constexpr int kPeerPortUnreachableError = WSAECONNRESET;
inline constexpr int kNotASocketError = WSAENOTSOCK;
inline bool LastSocketCallWouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
inline int PollSockets(WSAPOLLFD* sockets, unsigned count, int timeoutMs) { return WSAPoll(sockets, count, timeoutMs); }
using SocketPoll = WSAPOLLFD;
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

using TestSocket = int;
using SocketLength = socklen_t;
// A peer that went away must fail the send, not end the test program.
inline constexpr int kNoSignalFlag = MSG_NOSIGNAL;

inline constexpr TestSocket kNoTestSocket = -1;

inline TestSocket OpenTestSocket(int type) { return socket(AF_INET, type | SOCK_CLOEXEC, 0); }
inline void CloseTestSocket(TestSocket socket) { close(socket); }
inline void MakeNonBlocking(TestSocket socket) { fcntl(socket, F_SETFL, fcntl(socket, F_GETFL) | O_NONBLOCK); }
inline int LastSocketError() { return errno; }
inline constexpr int kPeerPortUnreachableError = ECONNREFUSED;
inline constexpr int kNotASocketError = EBADF;
inline bool LastSocketCallWouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }
inline int PollSockets(pollfd* sockets, unsigned count, int timeoutMs) { return poll(sockets, count, timeoutMs); }
using SocketPoll = pollfd;
#endif

// Waits at most timeoutMs for the socket to be readable.
inline bool WaitReadable(TestSocket socket, int timeoutMs)
{
    SocketPoll watched{};
    watched.fd = socket;
    watched.events = POLLIN;
    return PollSockets(&watched, 1, timeoutMs) > 0;
}
