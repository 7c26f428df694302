#pragma once

// The system's own; ShellExecuteA is the platform's, so that tests can see
// what it would start.

#include "win_types.h"

#include <shellapi.h>

#define ShellExecuteA SeamedShellExecuteA
