#pragma once

// The system's Beep, behind the platform's, so that tests can record tones.

#include "win_types.h"

#define Beep SeamedBeep
