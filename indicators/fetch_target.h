#pragma once

#include <cstdint>
#include <vector>

#include "win_sock.h"

// Why an announced description must not be fetched from this address, or
// nullptr when it may. Any host on the LAN chooses the LOCATION, so it must
// not aim the fetch at this PC's own services or at a group of hosts.
// The address is in network byte order; the interfaces are all of the PC's.
const char* ReasonNotToFetchFrom(uint32_t address, const std::vector<INTERFACE_INFO>& ownInterfaces);
