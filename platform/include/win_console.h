#pragma once

// The console side of a program: its standard output, and the requests to
// end it that come from the terminal or the service manager.

#include "win_kernel.h"
#include "native/win_console.h"

// The handle of standard output, for WriteFile; INVALID_HANDLE_VALUE for
// any other.
HANDLE GetStdHandle(DWORD which);

// Adds or removes a handler. On Windows handlers run on a thread of the
// system's; on Linux they run on the user-interface thread from its event
// loop. Either way what they send to a window is handled on the
// user-interface thread, held like any delivery while a blocking call waits.
// The newest runs first, until one returns TRUE; when none does, or none is
// set, the signal ends the process as it would without handlers. FALSE for a
// null handler, or one to remove that is not set. Meanwhile a write of the
// user-interface thread that waits for its reader gives way on both: it
// fails with ERROR_OPERATION_ABORTED (on Windows the platform cancels it,
// again and again until the handlers have returned).
BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
