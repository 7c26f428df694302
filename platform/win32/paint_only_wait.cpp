#include "paint_only_wait.h"

#include <algorithm>
#include <chrono>

#include "list_redraw_hold.h"
#include "win_types.h"

namespace {

constexpr int kSliceMs = 20;
// A window that paints without validating would be painted again at once.
constexpr int kPaintsPerSlice = 16;

void DispatchPainting()
{
    platform::ReleaseHeldListRedraws();
    MSG message;
    for (int i = 0; i < kPaintsPerSlice && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
        ::DispatchMessageA(&message);
}

}  // namespace

namespace platform {

bool WaitPaintingOnly(const std::function<bool(int sliceMs)>& readyWithin, int boundMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(boundMs, 0));
    for (;;) {
        int slice = kSliceMs;
        if (boundMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            slice = static_cast<int>(std::min<long long>(left, kSliceMs));
        }
        if (readyWithin(slice))
            return true;
        DispatchPainting();
    }
}

}  // namespace platform
