#pragma once

#include <string>

// One plain HTTP/1.1 GET of an "http://host[:port][/path]" URL. Returns the
// whole response as received (status line, headers, empty line, body),
// uninterpreted; empty on every failure. Blocks the calling thread, with a
// bound on each wait (the host name's lookup included), while only
// repainting runs.
std::string GetUrl(const std::string& url);

struct FetchResult {
    std::string response;
    // The fetch ended on a time bound: looking the host up, connecting, a
    // receive or the whole response.
    bool outOfTime = false;
};

// GetUrl for a URL that a device announced: refused, with a ">" log line and
// without a connection, when its host is or resolves to this PC, 0.0.0.0, a
// multicast or a broadcast address.
FetchResult GetAnnouncedUrl(const std::string& url);
