#pragma once

// Helpers shared by the simulator's unit tests: a parsed message that keeps
// its own buffer, and a strict check of SSDP framing.

#include <string>

#include "ssdp/ssdp_message.h"

namespace sim_test {

// ParseSsdpMessage works in place, so the parsed text lives here and the
// object is neither copied nor moved.
class ParsedMessage {
public:
    explicit ParsedMessage(std::string text) : text_(std::move(text)) { ParseSsdpMessage(message_, text_.data()); }
    ParsedMessage(const ParsedMessage&) = delete;
    ParsedMessage& operator=(const ParsedMessage&) = delete;

    std::string StartLine() const { return message_.start_line ? message_.start_line : "<none>"; }
    bool Has(const char* name) const { return GetHeader(message_, name) != nullptr; }
    std::string Header(const char* name) const
    {
        const char* value = GetHeader(message_, name);
        return value ? value : "<missing>";
    }
    bool HasBody() const { return message_.body != nullptr; }
    std::string Body() const { return message_.body ? message_.body : ""; }

private:
    std::string text_;
    SsdpMessage message_;
};

// True for a datagram a strict receiver accepts: no NUL, every line ended by
// CR LF, a known start line, "Name: value" headers and a final empty line.
inline bool IsWellFormedSsdp(const std::string& datagram)
{
    if (datagram.find('\0') != std::string::npos || datagram.size() < 4 ||
        datagram.compare(datagram.size() - 4, 4, "\r\n\r\n") != 0)
        return false;
    for (size_t i = 0; i < datagram.size(); ++i) {
        const bool bare_cr = datagram[i] == '\r' && (i + 1 == datagram.size() || datagram[i + 1] != '\n');
        const bool bare_lf = datagram[i] == '\n' && (i == 0 || datagram[i - 1] != '\r');
        if (bare_cr || bare_lf)
            return false;
    }
    size_t line_start = 0;
    for (int line_number = 0;; ++line_number) {
        const size_t line_end = datagram.find("\r\n", line_start);
        const std::string line = datagram.substr(line_start, line_end - line_start);
        if (line.empty())
            return line_number > 0 && line_end + 2 == datagram.size();
        if (line_number == 0 && line != "NOTIFY * HTTP/1.1" && line != "M-SEARCH * HTTP/1.1" &&
            line != "HTTP/1.1 200 OK")
            return false;
        if (line_number > 0 && (line.find(':') == std::string::npos || line.front() == ':'))
            return false;
        line_start = line_end + 2;
    }
}

}  // namespace sim_test
