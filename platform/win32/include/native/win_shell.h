#pragma once

// The system's own.

#include "win_types.h"

#include <shellapi.h>
