#pragma once

// Starting programs and opening documents or addresses.

#include <cstdint>

#include "win_types.h"

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

// ShellExecuteA's failures; any result above 32 means the request was accepted.
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_NOASSOC = 31;

// Only the "open" verb (or none) is known:
//  - file "telnet": telnet to parameters in a new terminal window;
//  - parameters given: file is a program, started with parameters as its one
//    argument;
//  - otherwise file (an address or a document) goes to the desktop's opener.
// Programs start detached, in their own session, without a shell between;
// the call does not wait for them. owner and showCommand are not used.
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int showCommand);
