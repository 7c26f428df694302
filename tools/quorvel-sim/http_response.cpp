#include "http_response.h"

namespace sim {

namespace {

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    default: return "Unknown";
    }
}

}  // namespace

std::string ComposeHttpResponse(int status, std::string_view content_type, std::string_view body,
                                HeaderEnd header_end, size_t filler_length)
{
    std::string response = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
    response += "Content-Type: " + std::string(content_type) + "\r\n";
    response += "Content-Length: " + std::to_string(body.size() + filler_length) + "\r\n";
    response += "Connection: close\r\n";
    if (header_end == HeaderEnd::kEmptyLine)
        response += "\r\n";
    response += body;
    return response;
}

const std::string& FillerBlock()
{
    static const std::string block = [] {
        const std::string line = "<!-- filler filler filler filler filler filler filler -->\n";
        std::string text;
        while (text.size() + line.size() <= 64 * 1024)
            text += line;
        return text;
    }();
    return block;
}

}  // namespace sim
