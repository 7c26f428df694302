#pragma once

// The program's UDP socket for SSDP: the multicast options, the M-SEARCH
// send, and the receive path that hands every datagram to one receiver.

#include "afx_socket.h"
#include "ssdp/ssdp_receiver.h"

inline constexpr const char kSsdpGroup[] = "239.255.255.250";
inline constexpr UINT kSsdpPort = 1900;
inline constexpr int kDatagramSize = 1500;
// Asked of the kernel, which grants up to twice its own limit.
inline constexpr int kReceiveBufferBytes = 1024 * 1024;

class CSsdpSocket : public CSocket {
public:
    CSsdpSocket() = default;
    ~CSsdpSocket() override = default;

    BOOL Create();
    BOOL SetSockOpt(int level, int option, int value);
    BOOL SetMulticastInterface(unsigned long interfaceAddress);
    // Joins on the given interface; on the one the system picks by default.
    void AddMembership(const char* groupAddress, unsigned long interfaceAddress = INADDR_ANY);
    void SendDiscover(const char* searchTarget);

    // Not owned; while none is set, datagrams are read and dropped.
    void SetReceiver(CSsdpReceiver* receiver) { m_receiver = receiver; }

protected:
    void OnReceive(int errorCode) override;

private:
    void ShowReceiveError(const in_addr& sender, int error);

    CSsdpReceiver* m_receiver = nullptr;
};
