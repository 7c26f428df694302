#include "list_redraw_hold.h"

#include <chrono>
#include <map>

namespace {

using Clock = std::chrono::steady_clock;

constexpr UINT_PTR kReleaseTimer = 0x51d7;

// Each held list with the moment its hold began.
std::map<HWND, Clock::time_point> g_held;

void Release(HWND list)
{
    g_held.erase(list);
    if (!::IsWindow(list))
        return;
    ::KillTimer(list, kReleaseTimer);
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

// A timer with its own procedure, so the list's window procedure never sees
// a timer it did not set.
void CALLBACK ReleaseOnTimer(HWND list, UINT, UINT_PTR, DWORD) { Release(list); }

}  // namespace

namespace platform {

// A steady stream of changes releases the hold itself, every
// kListRedrawHoldMs: the timer's tick comes only when the queue is empty.
void HoldListRedraw(HWND list)
{
    if (!list)
        return;
    const Clock::time_point now = Clock::now();
    const auto held = g_held.find(list);
    if (held != g_held.end()) {
        if (now - held->second < std::chrono::milliseconds(kListRedrawHoldMs))
            return;
        Release(list);
    }
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SetTimer(list, kReleaseTimer, kListRedrawHoldMs, &ReleaseOnTimer);
    g_held[list] = now;
}

void ReleaseHeldListRedrawFor(HWND window, UINT message)
{
    if (!g_held.count(window))
        return;
    const bool input = (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
                       (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_HSCROLL ||
                       message == WM_VSCROLL || message == WM_NOTIFY || message == WM_CONTEXTMENU;
    if (input)
        Release(window);
}

void ReleaseHeldListRedraws()
{
    while (!g_held.empty())
        Release(g_held.begin()->first);
}

}  // namespace platform
