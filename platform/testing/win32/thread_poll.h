#pragma once

// Test actions that wait for something the code under test brings about
// (a dialog or message box shown by a modal call): a timer of the thread's
// own runs the action from the modal loop until it says it is done.

#include <functional>

#include "win_types.h"

namespace platform::testing {

void StartPoll(std::function<bool()> action, UINT intervalMs);

}  // namespace platform::testing
