#pragma once

#include <functional>
#include <optional>
#include <string>

// One plain HTTP/1.1 GET of an "http://host[:port][/path]" URL. Returns the
// whole response as received (status line, headers, empty line, body),
// uninterpreted; empty on every failure. Blocks the calling thread, with a
// bound on each wait (the host name's lookup included), while only
// repainting runs.
std::string GetUrl(const std::string& url);

struct FetchResult {
    std::string response;
    // The fetch ended on one of its own time bounds: looking the host up,
    // connecting, a receive or the whole response.
    bool outOfTime = false;
    // It ended on the caller's bound for the whole fetch instead.
    bool cutShort = false;
    // It was never tried, since its host is held.
    bool skipped = false;
    // Where the fetch went: the host's dotted address, or its name when no
    // address was found for it.
    std::string host;
};

// Whether a host, by its dotted address or its name, is not to be fetched
// from now.
using HeldHost = std::function<bool(const std::string& host)>;

// GetUrl for a URL that a device announced: refused, with a ">" log line and
// without a connection, when its host is or resolves to this PC, 0.0.0.0, a
// multicast or a broadcast address; skipped in the same way when `held`
// names its host. Every wait is bounded by what is left of boundMs too.
FetchResult GetAnnouncedUrl(const std::string& url, const HeldHost& held = {},
                            std::optional<int> boundMs = std::nullopt);
