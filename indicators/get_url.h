#pragma once

#include <string>

// One plain HTTP/1.1 GET of an "http://host[:port][/path]" URL. Returns the
// whole response as received (status line, headers, empty line, body),
// uninterpreted; empty on every failure. Blocks the calling thread, with a
// bound on each wait, while only repainting runs.
std::string GetUrl(const std::string& url);
