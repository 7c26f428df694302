// The blocking socket's calls: each waits, within the socket's bound, until
// the call can go on, in the way its platform waits.

#include "afx_socket.h"
#include "socket_internal.h"

void CAsyncSocket::OnReceive(int) {}
void CAsyncSocket::OnSend(int) {}

void CAsyncSocket::Notify(long event)
{
    if (event & FD_READ)
        OnReceive(0);
}

BOOL CSocket::Create(UINT port, int type, const char* address)
{
    return CAsyncSocket::Create(port, type, FD_ALL_EVENTS & ~FD_READ, address);
}

int CSocket::Send(const void* data, int length, int flags)
{
    int total = 0;
    const auto* bytes = static_cast<const char*>(data);
    while (total < length) {
        const int sent = CAsyncSocket::Send(bytes + total, length - total, flags);
        if (sent != SOCKET_ERROR) {
            total += sent;
            continue;
        }
        if (!WouldBlock() || !WaitUntilReady(POLLOUT))
            return SOCKET_ERROR;
    }
    return total;
}

int CSocket::Receive(void* buffer, int length, int flags)
{
    for (;;) {
        const int received = CAsyncSocket::Receive(buffer, length, flags);
        if (received != SOCKET_ERROR || !WouldBlock())
            return received;
        if (!WaitUntilReady(POLLIN))
            return SOCKET_ERROR;
    }
}

int CSocket::SendTo(const void* data, int length, const sockaddr* to, int toLength, int flags)
{
    for (;;) {
        const int sent = CAsyncSocket::SendTo(data, length, to, toLength, flags);
        if (sent != SOCKET_ERROR || !WouldBlock())
            return sent;
        if (!WaitUntilReady(POLLOUT))
            return SOCKET_ERROR;
    }
}

int CSocket::ReceiveFrom(void* buffer, int length, sockaddr* from, int* fromLength, int flags)
{
    for (;;) {
        const int received = CAsyncSocket::ReceiveFrom(buffer, length, from, fromLength, flags);
        if (received != SOCKET_ERROR || !WouldBlock())
            return received;
        if (!WaitUntilReady(POLLIN))
            return SOCKET_ERROR;
    }
}
