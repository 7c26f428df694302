#pragma once

// Kernel handles, file and message constants.

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <ctime>

#include "win_types.h"

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(-1);
using __time64_t = int64_t;

// The C runtime's 64-bit time.
__time64_t _time64(__time64_t* result);
// Local calendar time of a UTC time; 0 on success.
int _localtime64_s(struct tm* result, const __time64_t* time);

// Neither carries anything here: files take no security descriptor and
// writes are never overlapped.
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
// CreateFileA never follows a link here, whatever the flags.
inline constexpr DWORD FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
// Windows reports a pipe without a reader as either.
inline constexpr DWORD ERROR_BROKEN_PIPE = EPIPE;
inline constexpr DWORD ERROR_NO_DATA = EPIPE;
inline constexpr DWORD ERROR_OPERATION_ABORTED = ECANCELED;
