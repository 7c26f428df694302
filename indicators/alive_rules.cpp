#include "indicators/alive_rules.h"

#include <cctype>
#include <cstring>

namespace {

constexpr char kMaxAgePrefix[] = "max-age=";

// strtoul with base 10, narrowed to 32 bits as the platform's unsigned long
// is there; end points past the last character used (or at text when none).
uint32_t StrToUl32(const char* text, const char** end)
{
    const char* cursor = text;
    while (std::isspace(static_cast<unsigned char>(*cursor)))
        ++cursor;
    bool negative = false;
    if (*cursor == '+' || *cursor == '-')
        negative = *cursor++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*cursor))) {
        *end = text;
        return 0;
    }
    uint64_t value = 0;
    bool overflow = false;
    for (; std::isdigit(static_cast<unsigned char>(*cursor)); ++cursor) {
        value = value * 10 + static_cast<uint64_t>(*cursor - '0');
        if (value > UINT32_MAX) {
            overflow = true;
            value = UINT32_MAX;
        }
    }
    *end = cursor;
    if (overflow)
        return UINT32_MAX;
    uint32_t result = static_cast<uint32_t>(value);
    return negative ? static_cast<uint32_t>(0u - result) : result;
}

}  // namespace

bool SameSubnet(unsigned long address, unsigned long interfaceAddress, unsigned long netmask)
{
    return (address & netmask) == (interfaceAddress & netmask);
}

std::optional<uint32_t> ParseMaxAge(const char* cacheControl)
{
    if (std::strncmp(cacheControl, kMaxAgePrefix, sizeof kMaxAgePrefix - 1) != 0)
        return std::nullopt;
    const char* number = cacheControl + sizeof kMaxAgePrefix - 1;
    const char* end = number;
    uint32_t maxAge = StrToUl32(number, &end);
    if (maxAge == 0 || *end != '\0')
        return std::nullopt;
    return maxAge;
}
