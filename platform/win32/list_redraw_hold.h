#pragma once

// A list changed many times in a row is drawn once for all of them: the
// first change holds the list's drawing (WM_SETREDRAW), and the list draws
// what changed when the hold is released, at most kListRedrawHoldMs later.
// Without it every row of a burst of announcements moves the header, the
// scroll bars and the list's invalid area once for each of its columns,
// which under Wine costs milliseconds a row.

#include "win_types.h"

namespace platform {

constexpr unsigned kListRedrawHoldMs = 100;

// Before each change to the list.
void HoldListRedraw(HWND list);
// Draws every held list now: a wait that lasts shows what came before it.
void ReleaseHeldListRedraws();
// Before the window handles the message: a held list is released for input
// (its scroll bars are brought up to date only then) and for what its
// header tells it.
void ReleaseHeldListRedrawFor(HWND window, UINT message);

}  // namespace platform
