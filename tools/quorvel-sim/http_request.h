#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct HttpRequest {
    std::string method;
    std::string path;  // without query
};

// Length of the request head including its terminating empty line, or 0 while
// it is incomplete. Bare LF line ends are accepted too.
size_t RequestHeadLength(std::string_view received);

// From the request line "METHOD TARGET HTTP/x.y"; nullopt when malformed.
// Nothing beyond the request line is needed, so a missing Host is fine.
std::optional<HttpRequest> ParseRequestLine(std::string_view head);

}  // namespace sim
