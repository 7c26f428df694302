#include "indicator.h"

#include <arpa/inet.h>

#include <cstdint>
#include <cstdio>

#include "name_pattern.h"

namespace sim {

namespace {

uint32_t AddressBits(const std::string& address)
{
    in_addr parsed{};
    inet_pton(AF_INET, address.c_str(), &parsed);
    return ntohl(parsed.s_addr);
}

uint64_t Fnv1a(const std::string& text)
{
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// Address and number stay readable in the first two groups, which also keeps
// GUIDs of different addresses apart; the rest is a hash with the version 4
// and variant bits set.
std::string MakeGuid(const std::string& address, int number)
{
    const uint64_t hash = Fnv1a(address + "#" + std::to_string(number));
    char guid[40];
    std::snprintf(guid, sizeof guid, "%08x-%04x-4%03x-%04x-%012llx", AddressBits(address),
                  static_cast<unsigned>(number) & 0xffffu, static_cast<unsigned>(hash >> 52),
                  0x8000u | static_cast<unsigned>((hash >> 36) & 0x3fffu),
                  static_cast<unsigned long long>(hash & 0xffffffffffffull));
    return guid;
}

std::string MakeSerialNumber(const std::string& address, int number)
{
    const uint32_t bits = AddressBits(address);
    char serial[24];
    std::snprintf(serial, sizeof serial, "QS%03u%03u-%04d", (bits >> 8) & 0xffu, bits & 0xffu, number);
    return serial;
}

}  // namespace

std::vector<Indicator> MakeIndicators(const SimOptions& options)
{
    std::vector<Indicator> indicators;
    for (int number = 1; number <= options.count; ++number) {
        Indicator indicator;
        indicator.number = number;
        indicator.address = options.address;
        indicator.http_port = options.first_port + number - 1;
        indicator.host_name = ExpandNamePattern(options.name_pattern, number, options.count);
        indicator.guid = MakeGuid(options.address, number);
        indicator.serial_number = MakeSerialNumber(options.address, number);
        indicators.push_back(indicator);
    }
    return indicators;
}

std::string BaseUrl(const Indicator& indicator)
{
    return "http://" + indicator.address + ":" + std::to_string(indicator.http_port) + "/";
}

std::string DescriptionUrl(const Indicator& indicator)
{
    return BaseUrl(indicator) + (kDescriptionPath + 1);
}

std::string UniqueServiceName(const Indicator& indicator, const std::string& device_type)
{
    return "uuid:" + indicator.guid + "::" + device_type;
}

}  // namespace sim
