#pragma once

// Seams for tests: each replaces, in-process, one facility that reaches
// outside the process, so a test sees exactly what the program asked of the
// platform. An empty function restores the real facility. The shipped
// program never sets them.

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "win_sock.h"
#include "win_types.h"

namespace platform::seams {

using MessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, UINT type)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

using InterfaceListSource = std::function<bool(std::vector<INTERFACE_INFO>& interfaces)>;
void SetInterfaceListSource(InterfaceListSource source);

// The debugger output (standard error).
using DebugOutput = std::function<void(const char* line)>;
void SetDebugOutput(DebugOutput output);

// UTC wall-clock time for GetSystemTime and _time64.
using Clock = std::function<timespec()>;
void SetClock(Clock clock);

// Milliseconds of the monotonic clock for GetTickCount64.
using TickCount = std::function<uint64_t()>;
void SetTickCount(TickCount tickCount);

// Tones Beep would play: when set, they are recorded here, not played or waited.
using ToneSink = std::function<void(DWORD frequency, DWORD durationMs)>;
void SetToneSink(ToneSink sink);

// Programs and documents ShellExecuteA would start; returns its result.
using ShellHandler =
    std::function<int(const std::string& verb, const std::string& file, const std::string& parameters)>;
void SetShellHandler(ShellHandler handler);

// Where the system's settings behind the registry value IGMPLevel are read,
// so a test can supply its own; empty for the real ones. On Linux a
// directory put in front of "/proc/..." paths (a fake kernel tree); on
// Windows a key path under HKEY_CURRENT_USER that stands in for
// HKEY_LOCAL_MACHINE.
void SetProcRoot(std::string root);

// The system resolver's IPv4 answer for a host name; runs on a thread of its
// own, so it must not touch the test's state.
using HostResolver = std::function<bool(const std::string& host, in_addr& address)>;
void SetHostResolver(HostResolver resolver);

}  // namespace platform::seams
