#include "http_request.h"

namespace sim {

size_t RequestHeadLength(std::string_view received)
{
    const size_t crlf = received.find("\r\n\r\n");
    const size_t lf = received.find("\n\n");
    if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf))
        return crlf + 4;
    if (lf != std::string_view::npos)
        return lf + 2;
    return 0;
}

std::optional<HttpRequest> ParseRequestLine(std::string_view head)
{
    std::string_view line = head.substr(0, head.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);

    const size_t first_space = line.find(' ');
    const size_t last_space = line.rfind(' ');
    if (first_space == std::string_view::npos || first_space == last_space)
        return std::nullopt;
    std::string_view method = line.substr(0, first_space);
    std::string_view target = line.substr(first_space + 1, last_space - first_space - 1);
    std::string_view version = line.substr(last_space + 1);
    if (method.empty() || target.empty() || target.front() != '/' || version.rfind("HTTP/", 0) != 0)
        return std::nullopt;

    target = target.substr(0, target.find('?'));
    return HttpRequest{std::string(method), std::string(target)};
}

}  // namespace sim
