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
                                HeaderEnd header_end)
{
    std::string response = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
    response += "Content-Type: " + std::string(content_type) + "\r\n";
    response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    response += "Connection: close\r\n";
    if (header_end == HeaderEnd::kEmptyLine)
        response += "\r\n";
    response += body;
    return response;
}

}  // namespace sim
