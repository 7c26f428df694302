#pragma once

// Kernel services the program uses: debugger output, UTC clock, environment,
// plain files, error texts.

#include <cstdarg>
#include <ctime>

#include "win_types.h"
#include "native/win_kernel.h"

// Standard error, one write per call.
void OutputDebugStringA(const char* text);

void GetSystemTime(SYSTEMTIME* time);
// Milliseconds since an arbitrary start, never stepped: for intervals.
ULONGLONG GetTickCount64();

// Copies the variable into buffer and returns its length; 0 when it is
// missing; the needed size (with terminator) when the buffer is too small.
DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);

BOOL DeleteFileA(const char* path);
// Made for files in shared temporary directories, where another user may
// have put anything at the path first: never follows a symbolic link, never
// blocks, and opens only a regular file of the user's own with no other
// name (fails with EPERM otherwise). Creates the file readable by the user
// alone, and replaces an own file that others may read with a new one.
HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
// Writes all of the data or fails. A pipe without a reader fails with
// ERROR_BROKEN_PIPE, since the socket support ignores SIGPIPE; a write that
// waits for its reader fails with ERROR_OPERATION_ABORTED when a request to
// end the program (a console control event) arrives meanwhile.
BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* written, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE handle);

// The system's text for an error number; 0 when it has none.
DWORD FormatMessageA(DWORD flags, const void* source, DWORD code, DWORD language,
                     char* buffer, DWORD size, va_list* arguments);
// errno, so the error numbers are the system's own.
DWORD GetLastError();
