#pragma once

// A host name looked up by the system resolver with a bound. The resolver has
// no bound of its own, so it runs beside the user-interface thread, which
// waits at most the bound while only repainting runs, as in the blocking
// socket calls.

#include "win_sock.h"

enum class HostLookup { Found, NotFound, OutOfTime };

// A dotted-decimal address is taken as it is, without a lookup.
HostLookup LookUpHost(const char* host, in_addr& address, int boundMs);
