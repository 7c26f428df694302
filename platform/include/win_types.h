#pragma once

// The framework's basic types and constants: the system's own where the
// platform has them, standard types over the same values elsewhere.

#include "native/win_types.h"

class CWnd;
