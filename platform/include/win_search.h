#pragma once

// Finding a program on the search path.

#include "win_types.h"

// Looks in each directory of path (colon-separated; null for PATH) for an
// executable regular file named fileName, with extension appended when the
// name has none (".exe" only on Windows, where programs have it). Copies the full path into buffer and returns its length;
// returns 0 when there is none, and the needed size (with terminator),
// leaving buffer alone, when the buffer is too small. filePart, if given,
// is set to the name within buffer.
DWORD SearchPathA(const char* path, const char* fileName, const char* extension, DWORD bufferLength,
                  char* buffer, char** filePart);
