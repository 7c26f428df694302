#include "event_log.h"

#include <arpa/inet.h>
#include <unistd.h>

namespace sim {

void LogEvent(const std::string& line)
{
    // One write per line keeps lines whole when several processes share a log.
    const std::string text = line + "\n";
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
