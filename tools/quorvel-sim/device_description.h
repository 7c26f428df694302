#pragma once

#include <string>

#include "indicator.h"

namespace sim {

inline constexpr char kManufacturer[] = "Quorvel Test Scales";
inline constexpr char kModelName[] = "QTS-420 Indicator";
inline constexpr char kModelNumber[] = "4.2.0";

// The device description XML. Lines end in LF only, so the text never holds
// an empty CRLF line: a response that drops the empty line after its headers
// really has no body for a CRLF parser.
std::string DescribeIndicator(const Indicator& indicator, const std::string& device_type);

}  // namespace sim
