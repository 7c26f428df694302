#include "afx_socket.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "paint_only_wait.h"
#include "socket_internal.h"
#include "socket_window.h"

// Registers a socket with the platform's notice window, so its read notices
// come in the thread's queue, in order with every other message.
class SocketNotifierBridge {
public:
    SocketNotifierBridge(CAsyncSocket* owner, SOCKET socket) : m_socket(socket)
    {
        Owners()[socket] = owner;
        ::WSAAsyncSelect(socket, platform::SocketWindow(&Deliver), platform::kSocketNotice, FD_READ);
    }
    SocketNotifierBridge(const SocketNotifierBridge&) = delete;
    SocketNotifierBridge& operator=(const SocketNotifierBridge&) = delete;
    ~SocketNotifierBridge() { Owners().erase(m_socket); }

private:
    static std::map<SOCKET, CAsyncSocket*>& Owners()
    {
        static std::map<SOCKET, CAsyncSocket*> owners;
        return owners;
    }

    // A notice posted before its socket closed finds no owner and is dropped.
    static void Deliver(SOCKET socket, long event, int)
    {
        const auto found = Owners().find(socket);
        if (found != Owners().end())
            found->second->Notify(event);
    }

    SOCKET m_socket;
};

namespace {

// The largest datagram the program takes: one Ethernet frame's payload.
constexpr int kLargestNotifiedDatagram = 1500;

// A name without an address fails as an unreachable host.
bool FillAddressOrFail(sockaddr_in& address, UINT port, const char* host)
{
    if (FillAddress(address, port, host))
        return true;
    ::WSASetLastError(WSAEHOSTUNREACH);
    return false;
}


// Waits at most sliceMs for the socket to become readable (POLLIN) or
// writable (POLLOUT); a failed connection counts as ready, to be read from
// SO_ERROR.
bool ReadyWithin(SOCKET socket, short events, int sliceMs)
{
    fd_set readable;
    fd_set writable;
    fd_set failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    if (events & POLLIN)
        FD_SET(socket, &readable);
    if (events & POLLOUT) {
        FD_SET(socket, &writable);
        FD_SET(socket, &failed);
    }
    timeval slice{sliceMs / 1000, (sliceMs % 1000) * 1000};
    return ::select(0, &readable, &writable, &failed, &slice) > 0;
}

}  // namespace

BOOL AfxSocketInit(void*)
{
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CAsyncSocket::CAsyncSocket() = default;

CAsyncSocket::~CAsyncSocket() { CAsyncSocket::Close(); }

BOOL CAsyncSocket::Socket(int type, long events, int protocol, int family)
{
    SOCKET socket = ::socket(family, type, protocol);
    if (socket == INVALID_SOCKET)
        return FALSE;
    m_hSocket = socket;
    if (events & FD_READ) {
        m_notifier = std::make_unique<SocketNotifierBridge>(this, socket);
    } else {
        u_long nonBlocking = 1;
        ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    }
    return TRUE;
}

BOOL CAsyncSocket::Create(UINT port, int type, long events, const char* address)
{
    if (!Socket(type, events))
        return FALSE;
    if (!Bind(port, address)) {
        const int error = ::WSAGetLastError();
        Close();
        ::WSASetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL CAsyncSocket::Bind(UINT port, const char* address)
{
    sockaddr_in local;
    if (!FillAddressOrFail(local, port, address))
        return FALSE;
    return ::bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
}

void CAsyncSocket::Close()
{
    m_notifier.reset();
    if (m_hSocket != INVALID_SOCKET) {
        ::closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
}

BOOL CAsyncSocket::SetSockOpt(int option, const void* value, int length, int level)
{
    return ::setsockopt(m_hSocket, level, option, static_cast<const char*>(value), length) == 0;
}

BOOL CAsyncSocket::Connect(const char* host, UINT port)
{
    sockaddr_in remote;
    if (!FillAddressOrFail(remote, port, host))
        return FALSE;
    return ::connect(m_hSocket, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0;
}

int CAsyncSocket::Send(const void* data, int length, int flags)
{
    return ::send(m_hSocket, static_cast<const char*>(data), length, flags);
}

int CAsyncSocket::Receive(void* buffer, int length, int flags)
{
    return ::recv(m_hSocket, static_cast<char*>(buffer), length, flags);
}

int CAsyncSocket::SendTo(const void* data, int length, const sockaddr* to, int toLength, int flags)
{
    return ::sendto(m_hSocket, static_cast<const char*>(data), length, flags, to, toLength);
}

// The system fails a datagram longer than the buffer with WSAEMSGSIZE and
// drops its rest; with read notices the buffer is never taken larger than
// the largest datagram the program keeps.
int CAsyncSocket::ReceiveFrom(void* buffer, int length, sockaddr* from, int* fromLength, int flags)
{
    if (m_notifier)
        length = std::min(length, kLargestNotifiedDatagram);
    return ::recvfrom(m_hSocket, static_cast<char*>(buffer), length, flags, from, fromLength);
}

int CAsyncSocket::GetLastError() { return ::WSAGetLastError(); }

bool CSocket::WaitUntilReady(short events)
{
    const SOCKET socket = m_hSocket;
    if (platform::WaitPaintingOnly([socket, events](int sliceMs) { return ReadyWithin(socket, events, sliceMs); },
                                   m_timeoutMs))
        return true;
    ::WSASetLastError(WSAETIMEDOUT);
    return false;
}

BOOL CSocket::Connect(const char* host, UINT port)
{
    if (CAsyncSocket::Connect(host, port))
        return TRUE;
    if (!WouldBlock() || !WaitUntilReady(POLLOUT))
        return FALSE;
    int error = 0;
    int size = sizeof error;
    ::getsockopt(m_hSocket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    ::WSASetLastError(error);
    return error == 0;
}


bool WouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
