#pragma once

// The small rules of the alive handling, on their own so they can be tested.

#include <cstdint>
#include <optional>

// True when address and interfaceAddress agree in every bit the netmask sets
// (all three in network byte order).
bool SameSubnet(unsigned long address, unsigned long interfaceAddress, unsigned long netmask);

// The max-age of a CACHE-CONTROL value: exactly "max-age=" followed by an
// unsigned 32-bit decimal number read as the C library's strtoul reads it
// (leading white space and a sign allowed, a minus negates modulo 2^32,
// overflow gives 4294967295), with nothing after it. None when the value
// does not qualify or the number is 0.
std::optional<uint32_t> ParseMaxAge(const char* cacheControl);
