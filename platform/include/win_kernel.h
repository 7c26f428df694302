#pragma once

// Kernel services the program uses: debugger output, UTC clock, environment,
// plain files, error texts.

#include <cerrno>
#include <cstdint>
#include <ctime>

#include "win_types.h"

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(-1);
using __time64_t = int64_t;

inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;

// Standard error, one write per call.
void OutputDebugStringA(const char* text);

void GetSystemTime(SYSTEMTIME* time);
// Milliseconds since an arbitrary start, never stepped: for intervals.
ULONGLONG GetTickCount64();
__time64_t _time64(__time64_t* result);
// Local calendar time of a UTC time; 0 on success.
int _localtime64_s(struct tm* result, const __time64_t* time);

// Copies the variable into buffer and returns its length; 0 when it is
// missing; the needed size (with terminator) when the buffer is too small.
DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);

BOOL DeleteFileA(const char* path);
// Made for files in shared temporary directories, where another user may
// have put anything at the path first: never follows a symbolic link, never
// blocks, and opens only a regular file of the user's own with no other
// name (fails with EPERM otherwise). Creates the file readable by the user
// alone, and replaces an own file that others may read with a new one.
HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
// Writes all of the data or fails. A pipe without a reader fails with
// ERROR_BROKEN_PIPE, since the socket support ignores SIGPIPE; a write that
// waits for its reader fails with ERROR_OPERATION_ABORTED when a request to
// end the program (a console control event) arrives meanwhile.
BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* written, void* overlapped);
BOOL CloseHandle(HANDLE handle);

// The system's text for an error number; 0 when it has none.
DWORD FormatMessageA(DWORD flags, const void* source, DWORD code, DWORD language,
                     char* buffer, DWORD size, void* arguments);
// errno, so the error numbers are the system's own.
DWORD GetLastError();
inline constexpr DWORD ERROR_BROKEN_PIPE = EPIPE;
inline constexpr DWORD ERROR_OPERATION_ABORTED = ECANCELED;
