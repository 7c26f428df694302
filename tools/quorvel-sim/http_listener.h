#pragma once

#include <netinet/in.h>

#include "unique_fd.h"

namespace sim {

// A non-blocking TCP listening socket on address:port; throws std::system_error.
UniqueFd OpenHttpListener(in_addr address, int port);

}  // namespace sim
