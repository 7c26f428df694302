#include "search_request.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "ssdp/ssdp_message.h"

namespace sim {

namespace {

int ParseMx(const char* value)
{
    if (!value)
        return 0;
    int mx = 0;
    const char* end = value + std::strlen(value);
    auto [stop, failure] = std::from_chars(value, end, mx);
    if (failure != std::errc() || stop != end || mx < 0)
        return 0;
    return mx;
}

}  // namespace

std::optional<SearchRequest> ParseSearchRequest(std::string_view datagram)
{
    std::string text(datagram);  // the parser splits in place and stops at a NUL
    SsdpMessage message;
    ParseSsdpMessage(message, text.data());
    if (!message.start_line || std::strcmp(message.start_line, "M-SEARCH * HTTP/1.1") != 0)
        return std::nullopt;
    SearchRequest request;
    if (const char* target = GetHeader(message, "ST"))
        request.search_target = target;
    request.mx = ParseMx(GetHeader(message, "MX"));
    return request;
}

bool ShouldAnswer(const SearchRequest& request, const std::string& device_type)
{
    return request.search_target == device_type || request.search_target == "ssdp:all";
}

int MaxAnswerDelayMs(const SearchRequest& request, int mx_cap_seconds)
{
    return std::min(request.mx, mx_cap_seconds) * 1000;
}

}  // namespace sim
