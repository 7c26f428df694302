#pragma once

// The UDP counters of the network namespace the bench runs in, to tell
// search answers the kernel dropped because the program's socket was full.

#include <optional>
#include <string>

namespace bench {

// A counter of the "Udp:" lines of /proc/net/snmp, e.g. "RcvbufErrors".
std::optional<long> ReadUdpCounter(const std::string& name);

}  // namespace bench
