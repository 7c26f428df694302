#pragma once

#include <netinet/in.h>

#include <string>

namespace sim {

// One line on standard error per event; tests and demos follow these lines.
void LogEvent(const std::string& line);
// Starts every later event line with CLOCK_MONOTONIC's seconds, for timing
// a client from outside it.
void StampEventsWithClock();

std::string FormatEndpoint(const sockaddr_in& endpoint);  // "a.b.c.d:port"

}  // namespace sim
