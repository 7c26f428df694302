#pragma once

#include <string>
#include <string_view>

namespace sim {

enum class HeaderEnd {
    kEmptyLine,
    kNone,  // headers run straight into the body: a fault for hostile tests
};

// Status line, Content-Type, Content-Length, Connection: close, then the body.
std::string ComposeHttpResponse(int status, std::string_view content_type, std::string_view body,
                                HeaderEnd header_end = HeaderEnd::kEmptyLine);

}  // namespace sim
