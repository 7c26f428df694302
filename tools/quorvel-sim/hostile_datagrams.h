#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

inline constexpr size_t kOversizeLength = 1501;

// A NOTIFY for device_type padded to one byte more than an SSDP datagram may
// hold, so that a receiver with a 1500-byte buffer truncates it.
std::string OversizeDatagram(const std::string& device_type);

inline constexpr int kGarbageKinds = 9;
inline constexpr char kNulHeadersUsn[] = "uuid:00000000-0000-4000-8000-6e756c686472";
inline constexpr char kBareLfUsn[] = "uuid:00000000-0000-4000-8000-6261726c6668";
// Where the two announcement-shaped kinds point when no location is given:
// a port nothing listens on, so a fetch ends at once.
inline constexpr char kNowhereLocation[] = "http://127.0.0.1:9/description.xml";

// count datagrams, each malformed in one way: random bytes, LF-only lines,
// header lines without a colon, NUL bytes, no line end at all, CR-only lines,
// only empty lines, then two complete alive announcements of device_type for
// location: one whose trailing headers hold bare LF line ends and NUL bytes
// (USN kNulHeadersUsn), one whose header lines all end in LF only (USN
// kBareLfUsn). The kinds repeat in that order; the same count always gives
// the same datagrams.
std::vector<std::string> GarbageDatagrams(int count, const std::string& device_type,
                                          const std::string& location = kNowhereLocation);

}  // namespace sim
