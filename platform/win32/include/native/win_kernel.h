#pragma once

// The system's own, with the C runtime's 64-bit time. The calls that tests
// replace through the platform's seams (debugger output, clock, tick count)
// are the platform's, which call the system's unless a test set a seam.

#include <ctime>

#include "win_types.h"

#define OutputDebugStringA SeamedOutputDebugStringA
#define GetSystemTime SeamedGetSystemTime
#define GetTickCount64 SeamedGetTickCount64
#define _time64 SeamedTime64

__time64_t _time64(__time64_t* result);
