#pragma once

// Starting programs and opening documents or addresses.

#include <cstdint>

#include "win_types.h"
#include "native/win_shell.h"

// Only the "open" verb (or none) is known:
//  - file "telnet": telnet to parameters in a new terminal window;
//  - parameters given: file is a program, started with parameters as its one
//    argument;
//  - otherwise file (an address or a document) goes to the desktop's opener.
// Programs start detached, in their own session, without a shell between;
// the call does not wait for them. owner and showCommand are not used.
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int showCommand);
