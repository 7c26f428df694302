#include "event_log.h"

#include <arpa/inet.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace sim {

namespace {

bool g_stamped = false;

std::string ClockStamp()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%lld.%06ld ", static_cast<long long>(now.tv_sec), now.tv_nsec / 1000);
    return stamp;
}

}  // namespace

void StampEventsWithClock() { g_stamped = true; }

void LogEvent(const std::string& line)
{
    // One write per line keeps lines whole when several processes share a log.
    const std::string text = (g_stamped ? ClockStamp() : std::string()) + line + "\n";
    size_t written = 0;
    while (written < text.size()) {
        ssize_t result = ::write(STDERR_FILENO, text.data() + written, text.size() - written);
        if (result <= 0)
            return;
        written += static_cast<size_t>(result);
    }
}

std::string FormatEndpoint(const sockaddr_in& endpoint)
{
    char address[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &endpoint.sin_addr, address, sizeof address);
    return std::string(address) + ":" + std::to_string(ntohs(endpoint.sin_port));
}

}  // namespace sim
