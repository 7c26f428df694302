#pragma once

// Tones on the sound device.

#include "win_types.h"
#include "native/win_sound.h"

// Plays a sine tone and returns when it has sounded. Without a sound device
// it waits the tone's length in silence and returns FALSE. A frequency
// outside 37..32767 Hz is refused at once (FALSE).
BOOL Beep(DWORD frequency, DWORD duration);
