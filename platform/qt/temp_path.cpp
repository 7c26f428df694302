#include "win_temp.h"

#include <cstdlib>
#include <string>

#include "text_buffer.h"

namespace {

std::string TemporaryDirectory()
{
    const char* configured = std::getenv("TMPDIR");
    std::string directory = configured && *configured ? configured : "/tmp";
    if (directory.back() != '/')
        directory += '/';
    return directory;
}

}  // namespace

DWORD GetTempPathA(DWORD bufferLength, char* buffer)
{
    return platform::CopyToBuffer(TemporaryDirectory(), buffer, bufferLength);
}
