#pragma once

// The system's own, with the C runtime's 64-bit time.

#include <ctime>

#include "win_types.h"
