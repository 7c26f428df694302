#include "seams_internal.h"

#include <utility>

namespace platform::seams {
namespace {

MessageBoxHandler g_messageBox;
InterfaceListSource g_interfaceList;
Clock g_clock;
DebugOutput g_debugOutput;
ToneSink g_toneSink;
ShellHandler g_shellHandler;
std::string g_procRoot;

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) { g_messageBox = std::move(handler); }
void SetInterfaceListSource(InterfaceListSource source) { g_interfaceList = std::move(source); }
void SetClock(Clock clock) { g_clock = std::move(clock); }
void SetDebugOutput(DebugOutput output) { g_debugOutput = std::move(output); }

const MessageBoxHandler& CurrentMessageBoxHandler() { return g_messageBox; }
const InterfaceListSource& CurrentInterfaceListSource() { return g_interfaceList; }
const Clock& CurrentClock() { return g_clock; }
const DebugOutput& CurrentDebugOutput() { return g_debugOutput; }

void SetToneSink(ToneSink sink) { g_toneSink = std::move(sink); }
void SetShellHandler(ShellHandler handler) { g_shellHandler = std::move(handler); }
void SetProcRoot(std::string root) { g_procRoot = std::move(root); }

const ToneSink& CurrentToneSink() { return g_toneSink; }
const ShellHandler& CurrentShellHandler() { return g_shellHandler; }
const std::string& CurrentProcRoot() { return g_procRoot; }

namespace {
HostResolver g_hostResolver;
TickCount g_tickCount;
}  // namespace

void SetTickCount(TickCount tickCount) { g_tickCount = std::move(tickCount); }
const TickCount& CurrentTickCount() { return g_tickCount; }

void SetHostResolver(HostResolver resolver) { g_hostResolver = std::move(resolver); }
const HostResolver& CurrentHostResolver() { return g_hostResolver; }

}  // namespace platform::seams
