#include "win_kernel.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "seams_internal.h"
#include "termination_signal.h"

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

enum class OpenedFile { Ready, OpenToOthers, Refused };

// The file just opened at the path, made ready for the caller: it is
// truncated only once it is known to be the user's. An own file that others
// may read is no use: whoever opened it while it was open to them keeps
// reading through that handle whatever is written into it later.
OpenedFile PrepareOpenedFile(int fd, DWORD disposition)
{
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return OpenedFile::Refused;
    if (!IsUsersOwnFile(status)) {
        errno = EPERM;
        return OpenedFile::Refused;
    }
    if ((status.st_mode & 077) != 0)
        return OpenedFile::OpenToOthers;
    if (disposition == CREATE_ALWAYS && ftruncate(fd, 0) != 0)
        return OpenedFile::Refused;
    return fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 ? OpenedFile::Ready : OpenedFile::Refused;
}

int CloseKeepingError(int fd)
{
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
}

// An own file open to others is replaced by a new one, created where nothing
// may stand at the path in between.
int OpenPrepared(const char* path, int flags, DWORD disposition)
{
    int fd = open(path, flags, 0600);
    if (fd < 0)
        return -1;
    const OpenedFile opened = PrepareOpenedFile(fd, disposition);
    if (opened == OpenedFile::Ready)
        return fd;
    if (opened == OpenedFile::Refused)
        return CloseKeepingError(fd);
    close(fd);
    if (unlink(path) != 0)
        return -1;
    fd = open(path, flags | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return -1;
    return PrepareOpenedFile(fd, disposition) == OpenedFile::Ready ? fd : CloseKeepingError(fd);
}

int FileDescriptor(HANDLE file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)); }

// True once the descriptor takes data without waiting; false with ECANCELED
// when a request to end the program came while it did not.
bool WaitUntilWritable(int fd)
{
    for (;;) {
        pollfd watched[] = {{fd, POLLOUT, 0}, {platform::TerminationSignalDescriptor(), POLLIN, 0}};
        if (poll(watched, 1, 0) > 0)
            return true;
        if (platform::TerminationSignalPending() || poll(&watched[1], 1, 0) > 0) {
            errno = ECANCELED;
            return false;
        }
        if (poll(watched, 2, -1) < 0 && errno != EINTR)
            return false;
    }
}

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

HANDLE CreateFileA(const char* path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE)
{
    // Non-blocking, so that a FIFO put at the path cannot hold the caller.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    flags |= (access & GENERIC_WRITE) ? O_WRONLY : O_RDONLY;
    if (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS)
        flags |= O_CREAT;
    const int fd = OpenPrepared(path, flags, disposition);
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd));
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG*, DWORD method)
{
    int whence = method == FILE_END ? SEEK_END : SEEK_SET;
    off_t position = lseek(FileDescriptor(file), distance, whence);
    return position < 0 ? static_cast<DWORD>(-1) : static_cast<DWORD>(position);
}

// Writes everything, as a blocking write does on the system: a pipe may take
// part of it, and a signal may interrupt it. Each piece is written only once
// the descriptor takes it, and no larger than a pipe takes at once, so that
// a request to end the program is never stuck behind a reader that stopped
// reading: the write then fails with ERROR_OPERATION_ABORTED.
BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* written, LPOVERLAPPED)
{
    const auto* bytes = static_cast<const char*>(data);
    const int fd = FileDescriptor(file);
    DWORD done = 0;
    while (done < length && WaitUntilWritable(fd)) {
        const ssize_t count = write(fd, bytes + done, std::min<size_t>(length - done, PIPE_BUF));
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
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

DWORD FormatMessageA(DWORD, const void*, DWORD code, DWORD, char* buffer, DWORD size, va_list*)
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
