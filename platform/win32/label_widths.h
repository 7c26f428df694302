#pragma once

// Fonts do not all widen in step with their base units: a label laid out
// just wide enough for its text in one face wraps its last word away in
// another (under Wine "Serial number" shows as "Serial"). A label's text
// runs on to the right instead, as on the Linux platform.

#include "win_types.h"

namespace platform {

void WidenLabelsToTheirText(HWND dialog);

}  // namespace platform
