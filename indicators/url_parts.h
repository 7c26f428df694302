#pragma once

#include <optional>
#include <string>

// The parts of an "http://host[:port][/path]" URL as GetUrl connects to
// them. Only the first kUrlCopyLength characters of the URL count.
inline constexpr size_t kUrlCopyLength = 254;
inline constexpr unsigned kDefaultHttpPort = 80;

struct UrlParts {
    std::string host;
    unsigned port = kDefaultHttpPort;
    std::string path;  // without its leading slash
};

// nullopt for anything but "http://" followed by at least one character. The
// port is read as atoi reads it: leading blanks, a sign, digits as far as
// they go.
std::optional<UrlParts> SplitHttpUrl(const std::string& url);
