#pragma once

// How a system window reaches its CWnd: the process keeps which CWnd stands
// for which window, and a permanent one subclasses the window, so its
// messages run through the class's message map before the window's own
// procedure.

#include <vector>

#include "afx_wnd.h"

struct CWnd::Impl {
    WNDPROC original = nullptr;
    // The messages being handled, innermost last: Default() passes the
    // innermost one on to the window's own procedure.
    std::vector<MSG> current;
};

namespace platform {

// Makes window the permanent CWnd of the system window.
void Attach(CWnd* window, HWND handle);
// Gives the system window back its own procedure.
void Detach(CWnd* window);
// The CWnd that stands for the system window, permanent or made for it.
CWnd* WindowOf(HWND handle);
// The window's permanent CWnd; null when it has none.
CWnd* PermanentWindowOf(HWND handle);

}  // namespace platform
