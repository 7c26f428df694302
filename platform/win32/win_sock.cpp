#include "win_sock.h"

#include <iphlpapi.h>

#include <algorithm>
#include <chrono>

#include "seams_internal.h"

namespace {

constexpr size_t kMostListedInterfaces = 64;
constexpr auto kInterfaceListLifetime = std::chrono::milliseconds(500);


// The system's table of its own IPv4 addresses with their interfaces.
std::vector<BYTE> AddressTable()
{
    ULONG size = 0;
    std::vector<BYTE> table;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD result = ::GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(table.data()), &size, FALSE);
        if (result == NO_ERROR)
            return table;
        if (result != ERROR_INSUFFICIENT_BUFFER)
            break;
        table.resize(size);
    }
    return {};
}

DWORD IndexOfAddress(const std::vector<BYTE>& table, DWORD address)
{
    if (table.empty())
        return 0;
    const auto* rows = reinterpret_cast<const MIB_IPADDRTABLE*>(table.data());
    for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
        if (rows->table[i].dwAddr == address)
            return rows->table[i].dwIndex;
    }
    return 0;
}

// The interface of the IPv4 default route; 0 when there is none.
DWORD DefaultRouteInterface()
{
    MIB_IPFORWARDROW route{};
    if (::GetBestRoute(0, 0, &route) != NO_ERROR || route.dwForwardDest != 0 || route.dwForwardMask != 0)
        return 0;
    return route.dwForwardIfIndex;
}

bool ReadInterfaceList(SOCKET querySocket, std::vector<INTERFACE_INFO>& interfaces)
{
    std::vector<INTERFACE_INFO> listed(kMostListedInterfaces);
    DWORD returned = 0;
    if (::WSAIoctl(querySocket, SIO_GET_INTERFACE_LIST, nullptr, 0, listed.data(),
                   static_cast<DWORD>(listed.size() * sizeof(INTERFACE_INFO)), &returned, nullptr, nullptr) != 0)
        return false;
    listed.resize(returned / sizeof(INTERFACE_INFO));
    const DWORD defaultRoute = DefaultRouteInterface();
    if (defaultRoute != 0) {
        const std::vector<BYTE> table = AddressTable();
        std::stable_partition(listed.begin(), listed.end(), [&table, defaultRoute](const INTERFACE_INFO& entry) {
            return IndexOfAddress(table, entry.iiAddress.AddressIn.sin_addr.s_addr) != defaultRoute;
        });
    }
    interfaces = std::move(listed);
    return true;
}

}  // namespace

SOCKET WSASocketA(int family, int type, int protocol)
{
    return ::WSASocketA(family, type, protocol, nullptr, 0, 0);
}

// Multicast leaves through the last interface kept, so the default route's
// comes last, as it does on Linux; the others keep the system's order.
bool GetInterfaceList(SOCKET querySocket, std::vector<INTERFACE_INFO>& interfaces)
{
    if (const auto& source = platform::seams::CurrentInterfaceListSource())
        return source(interfaces);
    // Every description fetch checks its target against the PC's own
    // addresses, and under Wine a reading costs a dozen round trips through
    // its device service: as on Linux, a list younger than this serves again.
    static std::vector<INTERFACE_INFO> recent;
    static std::chrono::steady_clock::time_point readAt;
    static bool valid = false;
    const auto now = std::chrono::steady_clock::now();
    if (!valid || now - readAt >= kInterfaceListLifetime) {
        valid = ReadInterfaceList(querySocket, recent);
        readAt = now;
        if (!valid)
            return false;
    }
    interfaces = recent;
    return true;
}

DWORD InterfaceIndexOf(const INTERFACE_INFO& entry)
{
    return IndexOfAddress(AddressTable(), entry.iiAddress.AddressIn.sin_addr.s_addr);
}
