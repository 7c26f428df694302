#pragma once

#include "platform_seams.h"

namespace platform::seams {

const MessageBoxHandler& CurrentMessageBoxHandler();
const InterfaceListSource& CurrentInterfaceListSource();
const Clock& CurrentClock();
const TickCount& CurrentTickCount();
const DebugOutput& CurrentDebugOutput();
const ToneSink& CurrentToneSink();
const ShellHandler& CurrentShellHandler();
const std::string& CurrentProcRoot();
const HostResolver& CurrentHostResolver();

}  // namespace platform::seams
