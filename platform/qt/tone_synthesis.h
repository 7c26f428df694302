#pragma once

// The samples of a beep, apart from any sound device.

#include <cstdint>
#include <vector>

#include "win_types.h"

namespace platform {

// A mono sine tone, signed 16-bit, faded in and out so it starts and stops
// without a click. A frequency the rate cannot carry (half the rate or
// more) gives silence of the same length rather than a false, aliased pitch.
std::vector<int16_t> SynthesizeTone(DWORD frequency, DWORD durationMs, unsigned sampleRate);

}  // namespace platform
