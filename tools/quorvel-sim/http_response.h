#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

enum class HeaderEnd {
    kEmptyLine,
    kNone,  // headers run straight into the body: a fault for hostile tests
};

// Status line, Content-Type, Content-Length, Connection: close, then the body.
// filler_length bytes that the caller sends after the body are counted in
// Content-Length.
std::string ComposeHttpResponse(int status, std::string_view content_type, std::string_view body,
                                HeaderEnd header_end = HeaderEnd::kEmptyLine, size_t filler_length = 0);

// Filler text for answers that go on and on: whole XML comment lines.
const std::string& FillerBlock();

}  // namespace sim
