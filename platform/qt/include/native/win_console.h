#pragma once

// Console handles and control events.

#include "win_types.h"

inline constexpr DWORD STD_OUTPUT_HANDLE = static_cast<DWORD>(-11);
// SIGINT arrives as CTRL_C_EVENT, SIGTERM as CTRL_CLOSE_EVENT.
inline constexpr DWORD CTRL_C_EVENT = 0;
inline constexpr DWORD CTRL_CLOSE_EVENT = 2;

using PHANDLER_ROUTINE = BOOL (*)(DWORD ctrlType);
