#pragma once

// The system's own, but for SetConsoleCtrlHandler: the platform's stands in
// front of the system's, so that a request to end does not wait behind a
// write to a reader that stopped reading.

#include "win_types.h"

#define SetConsoleCtrlHandler SetConsoleCtrlHandlerCancellingWrites
