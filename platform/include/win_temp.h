#pragma once

// The directory for temporary files.

#include "win_types.h"

// TMPDIR, or /tmp, always ending in "/". Returns the length copied; when the
// buffer is too small, the needed size (with terminator), buffer untouched.
DWORD GetTempPathA(DWORD bufferLength, char* buffer);
