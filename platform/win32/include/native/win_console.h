#pragma once

// The system's own: nothing to add.

#include "win_types.h"
