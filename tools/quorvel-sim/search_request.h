#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct SearchRequest {
    std::string search_target;  // empty when the ST header is missing
    int mx = 0;                 // 0 when MX is missing or not a number
};

// nullopt unless the datagram is an M-SEARCH.
std::optional<SearchRequest> ParseSearchRequest(std::string_view datagram);

// The device type itself or "ssdp:all".
bool ShouldAnswer(const SearchRequest& request, const std::string& device_type);

// Answers are spread over [0, min(MX, cap)] seconds.
int MaxAnswerDelayMs(const SearchRequest& request, int mx_cap_seconds);

}  // namespace sim
