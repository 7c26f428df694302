#pragma once

#include <string>

#include "unique_fd.h"

namespace sim {

// Blocks SIGINT and SIGTERM and delivers them through a descriptor, so that
// the poll loop sees them like any other event; SIGPIPE is ignored.
UniqueFd OpenTerminationSignals();

// Reads one pending signal; returns its name.
std::string ReadTerminationSignal(int fd);

}  // namespace sim
