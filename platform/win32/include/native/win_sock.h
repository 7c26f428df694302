#pragma once

// The system's own, and the POSIX name of an IPv4 address's type, which the
// program uses as well.

#include "win_types.h"

using in_addr_t = decltype(in_addr::s_addr);
