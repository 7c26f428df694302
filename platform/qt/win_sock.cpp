#include "win_sock.h"

#include <ifaddrs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "interface_index.h"
#include "seams_internal.h"

namespace {

// Linux interface flags (net/if.h clashes with the names used here).
constexpr unsigned kLinuxUp = 0x1;
constexpr unsigned kLinuxBroadcast = 0x2;
constexpr unsigned kLinuxLoopback = 0x8;
constexpr unsigned kLinuxRunning = 0x40;
constexpr unsigned kLinuxMulticast = 0x1000;

// "Up" means able to carry traffic: administratively up and with a link.
DWORD TranslateFlags(unsigned linuxFlags)
{
    DWORD flags = 0;
    if ((linuxFlags & kLinuxUp) && (linuxFlags & kLinuxRunning))
        flags |= IFF_UP;
    if (linuxFlags & kLinuxBroadcast)
        flags |= IFF_BROADCAST;
    if (linuxFlags & kLinuxLoopback)
        flags |= IFF_LOOPBACK;
    if (linuxFlags & kLinuxMulticast)
        flags |= IFF_MULTICAST;
    return flags;
}

sockaddr_gen CopyAddress(const sockaddr* address)
{
    sockaddr_gen result{};
    if (address && address->sa_family == AF_INET)
        std::memcpy(&result.AddressIn, address, sizeof(sockaddr_in));
    result.AddressIn.sin_family = AF_INET;
    return result;
}

std::string DefaultRouteInterface()
{
    std::ifstream routes("/proc/net/route");
    std::string line;
    std::getline(routes, line);  // column titles
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string name, destination, gateway, flags, refs, use, metric, mask;
        fields >> name >> destination >> gateway >> flags >> refs >> use >> metric >> mask;
        if (destination == "00000000" && mask == "00000000")
            return name;
    }
    return {};
}

bool ReadKernelInterfaces(std::vector<INTERFACE_INFO>& interfaces)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    const std::string defaultInterface = DefaultRouteInterface();
    std::vector<std::pair<bool, INTERFACE_INFO>> found;
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        INTERFACE_INFO info;
        info.iiFlags = TranslateFlags(entry->ifa_flags);
        info.iiAddress = CopyAddress(entry->ifa_addr);
        info.iiBroadcastAddress = CopyAddress(entry->ifa_broadaddr);
        info.iiNetmask = CopyAddress(entry->ifa_netmask);
        info.iiIndex = InterfaceIndex(entry->ifa_name);
        found.emplace_back(defaultInterface == entry->ifa_name, info);
    }
    freeifaddrs(list);
    std::stable_partition(found.begin(), found.end(), [](const auto& item) { return !item.first; });
    interfaces.clear();
    for (const auto& item : found)
        interfaces.push_back(item.second);
    return true;
}

// Every description fetch checks its target against the PC's own addresses,
// and a burst of answers fetches thousands of times a second; reading the
// kernel's list costs about 0.1 ms, so a list younger than this serves again.
constexpr auto kInterfaceListLifetime = std::chrono::milliseconds(500);

bool RecentKernelInterfaces(std::vector<INTERFACE_INFO>& interfaces)
{
    using Clock = std::chrono::steady_clock;
    static std::vector<INTERFACE_INFO> recent;
    static Clock::time_point readAt;
    static bool valid = false;
    const Clock::time_point now = Clock::now();
    if (!valid || now - readAt >= kInterfaceListLifetime) {
        valid = ReadKernelInterfaces(recent);
        readAt = now;
        if (!valid)
            return false;
    }
    interfaces = recent;
    return true;
}

}  // namespace

SOCKET WSASocketA(int family, int type, int protocol)
{
    int fd = socket(family, type | SOCK_CLOEXEC, protocol);
    return fd < 0 ? INVALID_SOCKET : fd;
}

int closesocket(SOCKET socket) { return close(socket); }

bool GetInterfaceList(SOCKET querySocket, std::vector<INTERFACE_INFO>& interfaces)
{
    if (querySocket == INVALID_SOCKET) {
        errno = EBADF;
        return false;
    }
    if (const auto& source = platform::seams::CurrentInterfaceListSource())
        return source(interfaces);
    return RecentKernelInterfaces(interfaces);
}

DWORD InterfaceIndexOf(const INTERFACE_INFO& entry) { return entry.iiIndex; }
