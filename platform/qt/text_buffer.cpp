#include "text_buffer.h"

#include <cstring>

namespace platform {

DWORD CopyToBuffer(const std::string& text, char* buffer, DWORD bufferLength)
{
    DWORD needed = static_cast<DWORD>(text.size() + 1);
    if (!buffer || bufferLength < needed)
        return needed;
    std::memcpy(buffer, text.c_str(), needed);
    return needed - 1;
}

}  // namespace platform
