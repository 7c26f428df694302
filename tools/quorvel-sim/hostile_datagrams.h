#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

inline constexpr size_t kOversizeLength = 1501;

// A NOTIFY for device_type padded to one byte more than an SSDP datagram may
// hold, so that a receiver with a 1500-byte buffer truncates it.
std::string OversizeDatagram(const std::string& device_type);

// count datagrams, each malformed in one way: random bytes, LF-only lines,
// header lines without a colon, NUL bytes, no line end at all, CR-only lines,
// only empty lines. The kinds repeat in that order; the same count always
// gives the same datagrams.
std::vector<std::string> GarbageDatagrams(int count, const std::string& device_type);

}  // namespace sim
