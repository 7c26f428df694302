#include "ssdp_socket.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <cstring>

#include "ssdp_datagrams.h"
#include "system_call.h"

namespace sim {

namespace {

constexpr int kMulticastTtl = 4;

void SetOption(int fd, int level, int name, const void* value, socklen_t size, const char* what)
{
    CheckSystemCall(setsockopt(fd, level, name, value, size), what);
}

void SetIntOption(int fd, int level, int name, int value, const char* what)
{
    SetOption(fd, level, name, &value, sizeof value, what);
}

sockaddr_in GroupEndpoint()
{
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(kSsdpPort);
    inet_pton(AF_INET, kMulticastGroup, &group.sin_addr);
    return group;
}

}  // namespace

SsdpSocket::SsdpSocket(in_addr interface_address)
    : fd_(CheckSystemCall(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0), "UDP socket")),
      interface_(interface_address)
{
    const int fd = fd_.get();
    SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, 1, "SO_REUSEADDR");
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(kSsdpPort);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    CheckSystemCall(bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any), "bind UDP port 1900");

    ip_mreq membership{};
    membership.imr_multiaddr = GroupEndpoint().sin_addr;
    membership.imr_interface = interface_address;
    SetOption(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership, "join 239.255.255.250");
    // Only the group joined here, not those of other sockets on the host.
    SetIntOption(fd, IPPROTO_IP, IP_MULTICAST_ALL, 0, "IP_MULTICAST_ALL");
    SetOption(fd, IPPROTO_IP, IP_MULTICAST_IF, &interface_address, sizeof interface_address, "IP_MULTICAST_IF");
    SetIntOption(fd, IPPROTO_IP, IP_MULTICAST_TTL, kMulticastTtl, "IP_MULTICAST_TTL");
}

bool SsdpSocket::SendToGroup(std::string_view datagram)
{
    const sockaddr_in group = GroupEndpoint();
    return sendto(fd_.get(), datagram.data(), datagram.size(), MSG_NOSIGNAL,
                  reinterpret_cast<const sockaddr*>(&group), sizeof group) == static_cast<ssize_t>(datagram.size());
}

// With several addresses on the host the routing table could pick another
// source; answers must come from the announced address.
bool SsdpSocket::SendTo(std::string_view datagram, const sockaddr_in& to)
{
    iovec payload{const_cast<char*>(datagram.data()), datagram.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&to);
    message.msg_namelen = sizeof to;
    message.msg_iov = &payload;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    const in_pktinfo info{0, interface_, in_addr{}};  // any outgoing interface, our source address
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    return sendmsg(fd_.get(), &message, MSG_NOSIGNAL) == static_cast<ssize_t>(datagram.size());
}

std::optional<ReceivedDatagram> SsdpSocket::Receive()
{
    static char buffer[65536];
    ReceivedDatagram datagram;
    socklen_t from_size = sizeof datagram.from;
    ssize_t length = recvfrom(fd_.get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&datagram.from),
                              &from_size);
    if (length < 0)
        return std::nullopt;
    datagram.bytes.assign(buffer, static_cast<size_t>(length));
    return datagram;
}

bool SsdpSocket::IsOwn(const sockaddr_in& from) const
{
    return from.sin_addr.s_addr == interface_.s_addr && from.sin_port == htons(kSsdpPort);
}

}  // namespace sim
