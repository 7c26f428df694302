#pragma once

#include <netinet/in.h>

#include <string>

namespace sim {

// One line on standard error per event; tests and demos follow these lines.
void LogEvent(const std::string& line);

std::string FormatEndpoint(const sockaddr_in& endpoint);  // "a.b.c.d:port"

}  // namespace sim
