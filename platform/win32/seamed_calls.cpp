// The system calls that tests replace through the platform's seams: each
// asks its seam first and otherwise is the system's own.

#include <string>

#include "seams_internal.h"
#include "win_kernel.h"
#include "win_registry.h"
#include "win_shell.h"
#include "win_sound.h"

#undef OutputDebugStringA
#undef GetSystemTime
#undef GetTickCount64
#undef _time64
#undef RegOpenKeyExA
#undef ShellExecuteA
#undef Beep

namespace {

// 100-nanosecond intervals between 1601 and 1970, the two epochs.
constexpr ULONGLONG kUnixEpochInFileTime = 116444736000000000ull;
constexpr ULONGLONG kFileTimeTicksPerSecond = 10000000ull;
constexpr ULONGLONG kFileTimeTicksPerNanosecond100 = 100;
// The system's range, refused before a seam sees the tone, as the system
// refuses it before it sounds.
constexpr DWORD kLowestFrequency = 37;
constexpr DWORD kHighestFrequency = 32767;

FILETIME FileTimeOf(const timespec& time)
{
    const ULONGLONG ticks = kUnixEpochInFileTime + static_cast<ULONGLONG>(time.tv_sec) * kFileTimeTicksPerSecond +
                            static_cast<ULONGLONG>(time.tv_nsec) / kFileTimeTicksPerNanosecond100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

void SeamedOutputDebugStringA(const char* text)
{
    if (const auto& output = platform::seams::CurrentDebugOutput())
        output(text);
    else
        ::OutputDebugStringA(text);
}

void SeamedGetSystemTime(SYSTEMTIME* time)
{
    const auto& clock = platform::seams::CurrentClock();
    if (!clock) {
        ::GetSystemTime(time);
        return;
    }
    const FILETIME now = FileTimeOf(clock());
    ::FileTimeToSystemTime(&now, time);
}

ULONGLONG SeamedGetTickCount64()
{
    if (const auto& tickCount = platform::seams::CurrentTickCount())
        return tickCount();
    return ::GetTickCount64();
}

__time64_t SeamedTime64(__time64_t* result)
{
    const auto& clock = platform::seams::CurrentClock();
    const __time64_t now = clock ? static_cast<__time64_t>(clock().tv_sec) : ::_time64(nullptr);
    if (result)
        *result = now;
    return now;
}

// A test's key under HKEY_CURRENT_USER stands in for HKEY_LOCAL_MACHINE.
LONG SeamedRegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD access, HKEY* result)
{
    const std::string& root = platform::seams::CurrentProcRoot();
    if (key != HKEY_LOCAL_MACHINE || root.empty())
        return ::RegOpenKeyExA(key, subKey, options, access, result);
    const std::string standIn = root + "\\" + (subKey ? subKey : "");
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, standIn.c_str(), options, access, result);
}

HINSTANCE SeamedShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                              const char* directory, int showCommand)
{
    if (const auto& handler = platform::seams::CurrentShellHandler())
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(
            handler(verb ? verb : "", file ? file : "", parameters ? parameters : "")));
    return ::ShellExecuteA(owner, verb, file, parameters, directory, showCommand);
}

BOOL SeamedBeep(DWORD frequency, DWORD duration)
{
    if (frequency < kLowestFrequency || frequency > kHighestFrequency)
        return FALSE;
    if (const auto& sink = platform::seams::CurrentToneSink()) {
        sink(frequency, duration);
        return TRUE;
    }
    return ::Beep(frequency, duration);
}
