#pragma once

// The framework's socket classes. CAsyncSocket delivers read notifications on
// the user-interface thread; CSocket adds blocking calls that wait with a
// bound while only repainting runs (timers, input and the other sockets'
// notifications are held back and delivered afterwards, in order).

#include <memory>

#include "win_sock.h"
#include "win_types.h"
#include "native/afx_socket.h"

BOOL AfxSocketInit(void* data = nullptr);

class CAsyncSocket {
public:
    CAsyncSocket();
    CAsyncSocket(const CAsyncSocket&) = delete;
    CAsyncSocket& operator=(const CAsyncSocket&) = delete;
    virtual ~CAsyncSocket();

    SOCKET m_hSocket = INVALID_SOCKET;

    BOOL Socket(int type = SOCK_STREAM, long events = FD_ALL_EVENTS, int protocol = 0, int family = PF_INET);
    BOOL Create(UINT port = 0, int type = SOCK_STREAM, long events = FD_ALL_EVENTS, const char* address = nullptr);
    BOOL Bind(UINT port, const char* address = nullptr);
    virtual void Close();

    BOOL SetSockOpt(int option, const void* value, int length, int level = SOL_SOCKET);

    virtual BOOL Connect(const char* host, UINT port);
    virtual int Send(const void* data, int length, int flags = 0);
    virtual int Receive(void* buffer, int length, int flags = 0);
    virtual int SendTo(const void* data, int length, const sockaddr* to, int toLength, int flags = 0);
    // One datagram. A datagram longer than the buffer fails with EMSGSIZE;
    // the sender is filled in all the same. With read notifications, so does
    // one longer than 1500 bytes whatever the buffer: its bytes are not kept.
    virtual int ReceiveFrom(void* buffer, int length, sockaddr* from, int* fromLength, int flags = 0);

    static int GetLastError();

protected:
    virtual void OnReceive(int errorCode);
    virtual void OnSend(int errorCode);

private:
    friend class SocketNotifierBridge;
    void Notify(long event);
    std::unique_ptr<class SocketNotifierBridge> m_notifier;
};

class CSocket : public CAsyncSocket {
public:
    BOOL Create(UINT port = 0, int type = SOCK_STREAM, const char* address = nullptr);

    // Bound for each blocking wait that follows, in milliseconds; negative
    // waits without a bound. A wait that runs out fails with WSAETIMEDOUT.
    void SetTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    BOOL Connect(const char* host, UINT port) override;
    int Send(const void* data, int length, int flags = 0) override;
    int Receive(void* buffer, int length, int flags = 0) override;
    int SendTo(const void* data, int length, const sockaddr* to, int toLength, int flags = 0) override;
    int ReceiveFrom(void* buffer, int length, sockaddr* from, int* fromLength, int flags = 0) override;

private:
    bool WaitUntilReady(short events);
    int m_timeoutMs = -1;
};
