#pragma once

// The system's own; opening a key is the platform's, so that tests can stand
// a key of their own in for HKEY_LOCAL_MACHINE.

#include "win_types.h"

#include <winreg.h>

#define RegOpenKeyExA SeamedRegOpenKeyExA
