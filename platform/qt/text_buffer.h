#pragma once

// Returning text in a caller's buffer the way the system's string queries do.

#include <string>

#include "win_types.h"

namespace platform {

// Copies text with its terminator and returns its length; when the buffer
// cannot hold both, leaves it alone and returns the size it would need.
DWORD CopyToBuffer(const std::string& text, char* buffer, DWORD bufferLength);

}  // namespace platform
