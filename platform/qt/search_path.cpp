#include "win_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "text_buffer.h"

namespace {

bool HasExtension(const std::string& fileName)
{
    size_t slash = fileName.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return fileName.find('.', nameStart) != std::string::npos;
}

// Linux programs have no extension: the system's own for them, ".exe", is
// never appended.
bool IsProgramExtension(const char* extension) { return std::string_view(extension) == ".exe"; }

std::string NameWithExtension(const std::string& fileName, const char* extension)
{
    if (!extension || IsProgramExtension(extension) || HasExtension(fileName))
        return fileName;
    return fileName + extension;
}

bool IsExecutableFile(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string SearchDirectories(const char* path)
{
    if (path)
        return path;
    const char* variable = std::getenv("PATH");
    return variable ? variable : "";
}

std::optional<std::string> FindOnPath(const std::string& directories, const std::string& name)
{
    std::string_view remaining = directories;
    while (true) {
        size_t colon = remaining.find(':');
        std::string_view directory = remaining.substr(0, colon);
        // An empty entry would mean the working directory: a program found
        // there is whatever happens to lie where the user stands.
        if (!directory.empty()) {
            std::string candidate = std::string(directory) + "/" + name;
            if (IsExecutableFile(candidate))
                return candidate;
        }
        if (colon == std::string_view::npos)
            return std::nullopt;
        remaining.remove_prefix(colon + 1);
    }
}

std::optional<std::string> FindProgram(const char* path, const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return IsExecutableFile(name) ? std::optional(name) : std::nullopt;
    return FindOnPath(SearchDirectories(path), name);
}

}  // namespace

DWORD SearchPathA(const char* path, const char* fileName, const char* extension, DWORD bufferLength, char* buffer,
                  char** filePart)
{
    std::optional<std::string> found;
    if (fileName && *fileName)
        found = FindProgram(path, NameWithExtension(fileName, extension));
    if (!found) {
        errno = ENOENT;
        return 0;
    }
    DWORD length = platform::CopyToBuffer(*found, buffer, bufferLength);
    bool copied = length == found->size();
    if (copied && filePart)
        *filePart = buffer + found->rfind('/') + 1;
    return length;
}
