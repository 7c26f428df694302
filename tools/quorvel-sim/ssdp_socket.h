#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <string_view>

#include "unique_fd.h"

namespace sim {

struct ReceivedDatagram {
    std::string bytes;
    sockaddr_in from{};
};

// UDP port 1900, member of the SSDP group on one interface address; every
// datagram leaves from that address.
class SsdpSocket {
public:
    explicit SsdpSocket(in_addr interface_address);  // throws std::system_error

    int fd() const { return fd_.get(); }
    bool SendToGroup(std::string_view datagram);
    bool SendTo(std::string_view datagram, const sockaddr_in& to);
    std::optional<ReceivedDatagram> Receive();  // nullopt when nothing waits
    bool IsOwn(const sockaddr_in& from) const;  // looped back multicast of ours

private:
    UniqueFd fd_;
    in_addr interface_;
};

}  // namespace sim
