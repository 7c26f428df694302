#pragma once

// Shell results.

#include "win_types.h"

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

// ShellExecuteA's failures; any result above 32 means the request was accepted.
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_NOASSOC = 31;
