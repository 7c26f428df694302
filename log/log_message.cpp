#include "log/log_message.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "win_kernel.h"

namespace {

constexpr const char kLogFileName[] = "/quorvel.log";
constexpr const char kUnusableFileFormat[] = ">cannot write \"%s\": %s\r\n";
constexpr int kErrorTextSize = 256;

// The first of TEMP, TMP, TMPDIR that is set, else /tmp.
bool ReadTempDirectory(char* buffer, DWORD size)
{
    for (const char* name : {"TEMP", "TMP", "TMPDIR"}) {
        DWORD length = GetEnvironmentVariableA(name, buffer, size);
        if (length > 0)
            return length < size;
    }
    std::snprintf(buffer, size, "%s", "/tmp");
    return true;
}

}  // namespace

int TrimLineEnds(char* text, int length)
{
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    return length;
}

void DiagnosticLog::Write(const char* format, va_list arguments)
{
    char line[kLogLineSize];
    int length = std::vsnprintf(line, kLogTextLimit + 1, format, arguments);
    if (length < 0)
        length = 0;
    if (length > kLogTextLimit)
        length = kLogTextLimit;
    length = TrimLineEnds(line, length);
    line[length] = '\r';
    line[length + 1] = '\n';
    line[length + 2] = '\0';
    OutputDebugStringA(line);
    if (m_switch)
        AppendLogFile(line);
}

const char* DiagnosticLog::GetLogFilePath()
{
    if (m_pathBuilt)
        return m_path;
    m_pathBuilt = true;
    char directory[kLogPathSize];
    if (!ReadTempDirectory(directory, sizeof directory))
        return m_path;
    if (std::strlen(directory) + sizeof kLogFileName > sizeof m_path)
        return m_path;  // does not fit: no file logging for this run
    std::strcpy(m_path, directory);
    std::strcat(m_path, kLogFileName);
    DeleteFileA(m_path);
    return m_path;
}

void DiagnosticLog::AppendLogFile(const char* line)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    char prefix[64];  // 24 characters for every valid time
    std::snprintf(prefix, sizeof prefix, "%04d-%02d-%02d-%02d:%02d:%02d.%03d|", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    const char* path = GetLogFilePath();
    if (!*path)
        return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        TellFileUnusable(path);
        return;
    }
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, prefix, static_cast<DWORD>(std::strlen(prefix)), &written, nullptr);
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
}

// Every entry tries the file again; one that stays unusable (another
// user's, a FIFO) is told once, not beside every line.
void DiagnosticLog::TellFileUnusable(const char* path)
{
    if (m_unusableTold)
        return;
    m_unusableTold = true;
    char line[sizeof kUnusableFileFormat + kLogPathSize + kErrorTextSize];
    const char* reason = GetErrorText(static_cast<int>(GetLastError()));
    std::snprintf(line, sizeof line, kUnusableFileFormat, path, reason);
    OutputDebugStringA(line);
}

DiagnosticLog& TheLog()
{
    static DiagnosticLog log;
    return log;
}

void LogMessage(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    TheLog().Write(format, arguments);
    va_end(arguments);
}

const char* GetErrorText(int code)
{
    static char text[kErrorTextSize];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(code), 0x400, text,
                                  sizeof text, nullptr);
    if (length > 0)
        TrimLineEnds(text, static_cast<int>(length));
    return text;
}
