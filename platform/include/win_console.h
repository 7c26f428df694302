#pragma once

// The console side of a program: its standard output, and the requests to
// end it that come from the terminal or the service manager.

#include "win_kernel.h"

inline constexpr DWORD STD_OUTPUT_HANDLE = static_cast<DWORD>(-11);

// The handle of standard output, for WriteFile; INVALID_HANDLE_VALUE for
// any other.
HANDLE GetStdHandle(DWORD which);

// SIGINT arrives as CTRL_C_EVENT, SIGTERM as CTRL_CLOSE_EVENT.
inline constexpr DWORD CTRL_C_EVENT = 0;
inline constexpr DWORD CTRL_CLOSE_EVENT = 2;

using PHANDLER_ROUTINE = BOOL (*)(DWORD ctrlType);

// Adds or removes a handler. Unlike the system's, whose handlers run on a
// thread of their own, these run on the user-interface thread from its
// event loop (held, like any delivery, while a blocking call waits), so they
// may end the modal loop. The newest runs first, until one returns TRUE;
// when none does, or none is set, the signal ends the process as it would
// without handlers. FALSE for a null handler, or one to remove that is not set.
BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
