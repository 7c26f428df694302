#include "indicators/url_parts.h"

#include <cstdlib>

namespace {

unsigned ReadPort(const std::string& text)
{
    if (text.empty())
        return kDefaultHttpPort;
    return static_cast<unsigned>(std::strtol(text.c_str(), nullptr, 10));
}

}  // namespace

std::optional<UrlParts> SplitHttpUrl(const std::string& url)
{
    const std::string copy = url.substr(0, kUrlCopyLength);
    if (copy.empty())
        return std::nullopt;
    const size_t schemeEnd = copy.find("://");
    if (copy.substr(0, schemeEnd) != "http")
        return std::nullopt;
    if (schemeEnd == std::string::npos)
        return std::nullopt;
    const std::string rest = copy.substr(schemeEnd + 3);
    if (rest.empty())
        return std::nullopt;
    const size_t slash = rest.find('/');
    const std::string authority = rest.substr(0, slash);
    const size_t colon = authority.find(':');
    UrlParts parts;
    parts.host = authority.substr(0, colon);
    parts.port = colon == std::string::npos ? kDefaultHttpPort : ReadPort(authority.substr(colon + 1));
    parts.path = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    return parts;
}
