#pragma once

// The wait of a blocking call: until the awaited thing is ready or the bound
// runs out, only painting is dispatched. Every other message (socket
// notices, timer ticks, input, what other threads send) stays in the
// thread's queue and is delivered afterwards, in its order.

#include <functional>

namespace platform {

// readyWithin waits at most the given milliseconds and tells whether the
// awaited thing is ready. A negative bound waits without one. false when the
// bound ran out.
bool WaitPaintingOnly(const std::function<bool(int sliceMs)>& readyWithin, int boundMs);

}  // namespace platform
