#pragma once

#include <string>
#include <vector>

#include "sim_options.h"

namespace sim {

inline constexpr char kDescriptionPath[] = "/description.xml";

// One simulated indicator. Identity is derived from address and number only,
// so that repeated runs announce the same devices.
struct Indicator {
    int number = 1;  // 1..N
    std::string address;
    int http_port = 80;
    std::string host_name;
    std::string guid;
    std::string serial_number;
};

std::vector<Indicator> MakeIndicators(const SimOptions& options);

std::string BaseUrl(const Indicator& indicator);  // "http://ADDR:PORT/"
std::string DescriptionUrl(const Indicator& indicator);
std::string UniqueServiceName(const Indicator& indicator, const std::string& device_type);

}  // namespace sim
