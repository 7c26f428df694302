#include "afx_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstring>
#include <vector>

#include "blocking_wait.h"
#include "socket_internal.h"
#include "datagram_inbox.h"
#include "event_hold.h"

// Turns the readiness of a socket into the socket's notifications on the
// user-interface thread, one per datagram, as the program reads one datagram
// per notification. Write readiness is not watched: a datagram socket is
// nearly always writable, and nothing waits for it outside the blocking calls.
//
// A datagram socket's datagrams are moved into its inbox whenever the socket
// is readable, also while a blocking call waits. Its notifications are held
// meanwhile by the platform itself: Qt's GLib dispatcher fires socket
// notifiers even when the blocking wait asks it not to.
class SocketNotifierBridge : public QObject {
public:
    SocketNotifierBridge(CAsyncSocket* owner, SOCKET socket, bool datagrams)
        : m_owner(owner), m_socket(socket), m_read(socket, QSocketNotifier::Read)
    {
        if (datagrams)
            m_inbox = std::make_unique<platform::DatagramInbox>(socket);
        Bridges().push_back(this);
        QObject::connect(&m_read, &QSocketNotifier::activated, this, [this] { OnReadable(); });
    }

    ~SocketNotifierBridge() override
    {
        platform::CancelHeld(this, kService);
        std::erase(Bridges(), this);
    }

    // A handler may close its own socket while its notification runs, also
    // from a message box whose loop served the socket again meanwhile; the
    // bridge then lives until the outermost of those notifications returns.
    static void Dispose(std::unique_ptr<SocketNotifierBridge> bridge)
    {
        bridge->m_owner = nullptr;
        bridge->m_read.setEnabled(false);
        platform::CancelHeld(bridge.get(), kService);
        if (bridge->m_serveDepth > 0)
            bridge.release();
    }

    platform::DatagramInbox* inbox() const { return m_inbox.get(); }

    // The datagram sockets a blocking wait keeps emptying.
    static void AddPollEntries(std::vector<pollfd>& watched)
    {
        for (SocketNotifierBridge* bridge : Bridges()) {
            if (bridge->m_owner && bridge->m_inbox)
                watched.push_back({bridge->m_socket, POLLIN, 0});
        }
    }

    static void ServeReadable(const std::vector<pollfd>& watched)
    {
        for (const pollfd& entry : watched) {
            if (!(entry.revents & (POLLIN | POLLERR)))
                continue;
            for (SocketNotifierBridge* bridge : Bridges()) {
                if (bridge->m_owner && bridge->m_socket == entry.fd)
                    bridge->OnReadable();
            }
        }
    }

private:
    static constexpr uintptr_t kService = FD_READ;

    static std::vector<SocketNotifierBridge*>& Bridges()
    {
        static std::vector<SocketNotifierBridge*> bridges;
        return bridges;
    }

    void OnReadable()
    {
        if (!m_owner)
            return;
        if (m_inbox)
            m_inbox->Drain();
        RequestService();
    }

    // A datagram's service is held, if at all, at the place of the datagram's
    // arrival among the other held deliveries.
    void RequestService()
    {
        auto serve = [this] { Serve(); };
        if (m_inbox && !m_inbox->IsEmpty())
            platform::DeliverOrHold(this, kService, m_inbox->OldestArrival(), serve);
        else
            platform::DeliverOrHold(this, kService, serve);
    }

    void Serve()
    {
        if (!m_owner)
            return;
        if (m_inbox) {
            m_inbox->Drain();
            if (m_inbox->IsEmpty())
                return;
        }
        ++m_serveDepth;
        m_owner->Notify(FD_READ);
        --m_serveDepth;
        if (!m_owner) {
            // Deleted later, not here: the notifier may be emitting.
            if (m_serveDepth == 0)
                deleteLater();
            return;
        }
        if (m_inbox && !m_inbox->IsEmpty())
            ServeAgainLater();
    }

    // The next datagram waits for the event loop's next turn, so timers and
    // input get their share between datagrams, as with the kernel's queue.
    // While deliveries are held it waits among them instead, in its order.
    void ServeAgainLater()
    {
        if (platform::WouldHold(m_inbox->OldestArrival())) {
            RequestService();
            return;
        }
        if (m_servicePosted)
            return;
        m_servicePosted = true;
        QTimer::singleShot(0, this, [this] {
            m_servicePosted = false;
            RequestService();
        });
    }

    CAsyncSocket* m_owner;
    SOCKET m_socket;
    QSocketNotifier m_read;
    std::unique_ptr<platform::DatagramInbox> m_inbox;
    int m_serveDepth = 0;
    bool m_servicePosted = false;
};

bool platform::WaitForDescriptor(int descriptor, short events, int boundMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(boundMs < 0 ? 0 : boundMs);
    platform::BlockingScope blocking;
    for (;;) {
        int slice = 20;
        if (boundMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                errno = ETIMEDOUT;
                return false;
            }
            slice = static_cast<int>(std::min<long long>(left, slice));
        }
        std::vector<pollfd> watched{{descriptor, events, 0}};
        SocketNotifierBridge::AddPollEntries(watched);
        int ready = poll(watched.data(), watched.size(), slice);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0) {
            SocketNotifierBridge::ServeReadable(watched);
            if (watched[0].revents)
                return true;
        }
        platform::RepaintWhileBlocked();
    }
}

namespace {

// A name without an address fails as an unreachable host.
bool FillAddressOrFail(sockaddr_in& address, UINT port, const char* host)
{
    if (FillAddress(address, port, host))
        return true;
    errno = EHOSTUNREACH;
    return false;
}


}  // namespace

BOOL AfxSocketInit(void*)
{
    // A peer that closes a connection early must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    return TRUE;
}

CAsyncSocket::CAsyncSocket() = default;

CAsyncSocket::~CAsyncSocket() { CAsyncSocket::Close(); }

BOOL CAsyncSocket::Socket(int type, long events, int protocol, int family)
{
    SOCKET socket = ::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (socket < 0)
        return FALSE;
    m_hSocket = socket;
    if (events & FD_READ)
        m_notifier = std::make_unique<SocketNotifierBridge>(this, socket, type == SOCK_DGRAM);
    return TRUE;
}

BOOL CAsyncSocket::Create(UINT port, int type, long events, const char* address)
{
    if (!Socket(type, events))
        return FALSE;
    if (!Bind(port, address)) {
        int error = errno;
        Close();
        errno = error;
        return FALSE;
    }
    return TRUE;
}

BOOL CAsyncSocket::Bind(UINT port, const char* address)
{
    sockaddr_in local;
    if (!FillAddressOrFail(local, port, address))
        return FALSE;
    return bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
}

void CAsyncSocket::Close()
{
    if (m_notifier)
        SocketNotifierBridge::Dispose(std::move(m_notifier));
    if (m_hSocket != INVALID_SOCKET) {
        close(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
}

BOOL CAsyncSocket::SetSockOpt(int option, const void* value, int length, int level)
{
    if (level == SOL_SOCKET && option == SO_DONTLINGER) {
        linger off{};
        off.l_onoff = *static_cast<const int*>(value) ? 0 : 1;
        return setsockopt(m_hSocket, SOL_SOCKET, SO_LINGER, &off, sizeof off) == 0;
    }
    return setsockopt(m_hSocket, level, option, value, static_cast<socklen_t>(length)) == 0;
}

BOOL CAsyncSocket::Connect(const char* host, UINT port)
{
    sockaddr_in remote;
    if (!FillAddressOrFail(remote, port, host))
        return FALSE;
    return connect(m_hSocket, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0;
}

int CAsyncSocket::Send(const void* data, int length, int flags)
{
    ssize_t sent = send(m_hSocket, data, static_cast<size_t>(length), flags | MSG_NOSIGNAL);
    return sent < 0 ? SOCKET_ERROR : static_cast<int>(sent);
}

int CAsyncSocket::Receive(void* buffer, int length, int flags)
{
    ssize_t received = recv(m_hSocket, buffer, static_cast<size_t>(length), flags);
    return received < 0 ? SOCKET_ERROR : static_cast<int>(received);
}

int CAsyncSocket::SendTo(const void* data, int length, const sockaddr* to, int toLength, int flags)
{
    ssize_t sent = sendto(m_hSocket, data, static_cast<size_t>(length), flags | MSG_NOSIGNAL, to,
                          static_cast<socklen_t>(toLength));
    return sent < 0 ? SOCKET_ERROR : static_cast<int>(sent);
}

int CAsyncSocket::ReceiveFrom(void* buffer, int length, sockaddr* from, int* fromLength, int flags)
{
    if (platform::DatagramInbox* inbox = m_notifier ? m_notifier->inbox() : nullptr) {
        inbox->Drain();
        return inbox->Take(buffer, length, from, fromLength);
    }
    socklen_t addressLength = fromLength ? static_cast<socklen_t>(*fromLength) : 0;
    ssize_t received = recvfrom(m_hSocket, buffer, static_cast<size_t>(length), flags | MSG_TRUNC, from,
                                fromLength ? &addressLength : nullptr);
    if (fromLength)
        *fromLength = static_cast<int>(addressLength);
    if (received < 0)
        return SOCKET_ERROR;
    if (received > length) {
        errno = EMSGSIZE;
        return SOCKET_ERROR;
    }
    return static_cast<int>(received);
}

int CAsyncSocket::GetLastError() { return errno; }

bool CSocket::WaitUntilReady(short events) { return platform::WaitForDescriptor(m_hSocket, events, m_timeoutMs); }

BOOL CSocket::Connect(const char* host, UINT port)
{
    if (CAsyncSocket::Connect(host, port))
        return TRUE;
    if (!WouldBlock() || !WaitUntilReady(POLLOUT))
        return FALSE;
    int error = 0;
    socklen_t size = sizeof error;
    getsockopt(m_hSocket, SOL_SOCKET, SO_ERROR, &error, &size);
    errno = error;
    return error == 0;
}


bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINPROGRESS; }
