#include "win_kernel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "seams_internal.h"

namespace {

timespec Now()
{
    if (const auto& clock = platform::seams::CurrentClock())
        return clock();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

// In a shared temporary directory anyone may have put a file at the path
// first. A hard link could name any of the user's files.
bool IsUsersOwnFile(const struct stat& status)
{
    return S_ISREG(status.st_mode) && status.st_uid == geteuid() && status.st_nlink == 1;
}

// The file just opened at the path, made ready for the caller: an own file
// that others may read or write is closed to them before it gets this
// user's text, and it is truncated only once it is known to be the user's.
bool PrepareOpenedFile(int fd, DWORD disposition)
{
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return false;
    if (!IsUsersOwnFile(status)) {
        errno = EPERM;
        return false;
    }
    if ((status.st_mode & 077) != 0 && fchmod(fd, 0600) != 0)
        return false;
    if (disposition == CREATE_ALWAYS && ftruncate(fd, 0) != 0)
        return false;
    return fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
}

int FileDescriptor(HANDLE file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)); }

}  // namespace

void OutputDebugStringA(const char* text)
{
    if (const auto& output = platform::seams::CurrentDebugOutput()) {
        output(text);
        return;
    }
    ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

void GetSystemTime(SYSTEMTIME* time)
{
    timespec now = Now();
    tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    time->wYear = static_cast<WORD>(utc.tm_year + 1900);
    time->wMonth = static_cast<WORD>(utc.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(utc.tm_wday);
    time->wDay = static_cast<WORD>(utc.tm_mday);
    time->wHour = static_cast<WORD>(utc.tm_hour);
    time->wMinute = static_cast<WORD>(utc.tm_min);
    time->wSecond = static_cast<WORD>(utc.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

ULONGLONG GetTickCount64()
{
    if (const auto& tickCount = platform::seams::CurrentTickCount())
        return tickCount();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<ULONGLONG>(now.tv_sec) * 1000u + static_cast<ULONGLONG>(now.tv_nsec / 1000000);
}

__time64_t _time64(__time64_t* result)
{
    __time64_t seconds = Now().tv_sec;
    if (result)
        *result = seconds;
    return seconds;
}

int _localtime64_s(struct tm* result, const __time64_t* time)
{
    time_t seconds = static_cast<time_t>(*time);
    return localtime_r(&seconds, result) ? 0 : EINVAL;
}

DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size)
{
    const char* value = std::getenv(name);
    if (!value)
        return 0;
    size_t length = std::strlen(value);
    if (length + 1 > size)
        return static_cast<DWORD>(length + 1);
    std::memcpy(buffer, value, length + 1);
    return static_cast<DWORD>(length);
}

BOOL DeleteFileA(const char* path) { return unlink(path) == 0; }

HANDLE CreateFileA(const char* path, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE)
{
    // Non-blocking, so that a FIFO put at the path cannot hold the caller.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    flags |= (access & GENERIC_WRITE) ? O_WRONLY : O_RDONLY;
    if (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS)
        flags |= O_CREAT;
    int fd = open(path, flags, 0600);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    if (!PrepareOpenedFile(fd, disposition)) {
        const int error = errno;
        close(fd);
        errno = error;
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd));
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG*, DWORD method)
{
    int whence = method == FILE_END ? SEEK_END : SEEK_SET;
    off_t position = lseek(FileDescriptor(file), distance, whence);
    return position < 0 ? static_cast<DWORD>(-1) : static_cast<DWORD>(position);
}

// Writes everything, as a blocking write does on the system: a pipe may take
// part of it, and a signal may interrupt it.
BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* written, void*)
{
    const auto* bytes = static_cast<const char*>(data);
    DWORD done = 0;
    while (done < length) {
        const ssize_t count = write(FileDescriptor(file), bytes + done, length - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        done += static_cast<DWORD>(count);
    }
    if (written)
        *written = done;
    return done == length;
}

BOOL CloseHandle(HANDLE handle)
{
    if (handle == INVALID_HANDLE_VALUE)
        return FALSE;
    return close(FileDescriptor(handle)) == 0;
}

DWORD FormatMessageA(DWORD, const void*, DWORD code, DWORD, char* buffer, DWORD size, void*)
{
    char text[256];
    const char* message = strerror_r(static_cast<int>(code), text, sizeof text);
    // glibc invents "Unknown error N" for numbers it has no text for.
    if (!message || std::strncmp(message, "Unknown error", 13) == 0 || size == 0)
        return 0;
    size_t length = std::strlen(message);
    if (length >= size)
        length = size - 1;
    std::memcpy(buffer, message, length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

DWORD GetLastError() { return static_cast<DWORD>(errno); }
