#pragma once

// Whoever handles the datagrams of the SSDP sockets. text is the datagram,
// zero-terminated and writable (parsed in place); senderAddress is the
// sender's IPv4 address in network byte order.
class CSsdpReceiver {
public:
    virtual void OnReceive(const char* text, unsigned long senderAddress) = 0;

protected:
    ~CSsdpReceiver() = default;
};
