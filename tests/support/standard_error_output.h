#pragma once

#include <cstdio>

#include "platform_seams.h"

// For a death test's child: its diagnostic lines go to standard error, where
// the parent reads them. On Linux that is where the debugger output goes
// anyway; on Windows it goes to the debugger.
inline void DebugOutputToStandardError()
{
    platform::seams::SetDebugOutput([](const char* line) { std::fputs(line, stderr); });
}
