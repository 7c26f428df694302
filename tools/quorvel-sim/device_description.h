#pragma once

#include <string>

#include "indicator.h"

namespace sim {

inline constexpr char kManufacturer[] = "Quorvel Test Scales";
inline constexpr char kModelName[] = "QTS-420 Indicator";
inline constexpr char kModelNumber[] = "4.2.0";

// A host name that is markup: a tag with an event handler, an entity, a
// script, both kinds of quote and a bare ampersand. A reader that takes the
// name between the first two double quotes gets everything up to "alert(".
inline constexpr char kHostileName[] = "<b onmouseover='alert(1)'>&amp;</b><script>alert(\"x\")</script>&\"'";

// The device description XML. Lines end in LF only, so the text never holds
// an empty CRLF line: a response that drops the empty line after its headers
// really has no body for a CRLF parser.
std::string DescribeIndicator(const Indicator& indicator, const std::string& device_type);

// The same elements, each standing inside the one before with 4 KiB of text
// after its own, and the host name's closing quote at the very end: a reader
// that takes each value whole holds every later element in each one.
std::string DescribeNestedIndicator(const Indicator& indicator, const std::string& device_type);

}  // namespace sim
