#include "indicators/fetch_target.h"

namespace {

bool InBlock(uint32_t hostOrder, uint32_t block, int prefixLength)
{
    const uint32_t mask = ~0u << (32 - prefixLength);
    return (hostOrder & mask) == block;
}

uint32_t AddressOf(const sockaddr_gen& address) { return address.AddressIn.sin_addr.s_addr; }

// The interface's subnet broadcast; subnets of one or two addresses have none.
bool IsBroadcastOf(uint32_t address, const INTERFACE_INFO& interface)
{
    const uint32_t netmask = AddressOf(interface.iiNetmask);
    if (ntohl(~netmask) < 2)
        return false;
    return address == (AddressOf(interface.iiAddress) | ~netmask);
}

}  // namespace

const char* ReasonNotToFetchFrom(uint32_t address, const std::vector<INTERFACE_INFO>& ownInterfaces)
{
    const uint32_t hostOrder = ntohl(address);
    if (InBlock(hostOrder, 0x7f000000, 8))
        return "loopback address";
    // 0.0.0.0 connects to this PC; the rest of its block is no host's.
    if (InBlock(hostOrder, 0x00000000, 8))
        return "unspecified address";
    if (InBlock(hostOrder, 0xe0000000, 4))
        return "multicast address";
    if (hostOrder == 0xffffffff)
        return "broadcast address";
    for (const INTERFACE_INFO& interface : ownInterfaces) {
        if (address == AddressOf(interface.iiAddress))
            return "own address";
        if (IsBroadcastOf(address, interface))
            return "broadcast address";
    }
    return nullptr;
}
