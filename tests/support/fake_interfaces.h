#pragma once

#include <string>
#include <vector>

#include "win_sock.h"

// An interface-list entry as the platform reports it; entries with the same
// index are addresses of one interface (on Linux: see below).
inline INTERFACE_INFO FakeInterface(const std::string& address, const std::string& netmask, DWORD flags,
                                    DWORD index = 0)
{
    INTERFACE_INFO info;
    info.iiFlags = flags;
#ifdef _WIN32
    // The system's entry has no index: the platform looks it up in the
    // system's address table, which holds none of these addresses.
    (void)index;
#else
    info.iiIndex = index;
#endif
    info.iiAddress.AddressIn.sin_family = AF_INET;
    info.iiAddress.AddressIn.sin_addr.s_addr = inet_addr(address.c_str());
    info.iiNetmask.AddressIn.sin_family = AF_INET;
    info.iiNetmask.AddressIn.sin_addr.s_addr = inet_addr(netmask.c_str());
    info.iiBroadcastAddress.AddressIn.sin_family = AF_INET;
    info.iiBroadcastAddress.AddressIn.sin_addr.s_addr =
        info.iiAddress.AddressIn.sin_addr.s_addr | ~info.iiNetmask.AddressIn.sin_addr.s_addr;
    return info;
}

inline INTERFACE_INFO FakeLoopback() { return FakeInterface("127.0.0.1", "255.0.0.0", IFF_UP | IFF_LOOPBACK); }
