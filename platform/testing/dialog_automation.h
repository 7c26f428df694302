#pragma once

// Real mouse input for dialog tests, delivered through the window system
// events the controls handle, and a way to act on a dialog that a call under
// test shows modally.

#include <cstdint>
#include <functional>
#include <vector>

#include "afx_wnd.h"

namespace platform::testing {

// Clicks (or double-clicks) the centre of a cell of a list control; a row
// past the last clicks as far below the last row as one row is high.
void ClickListCell(CWnd* list, int row, int column);
void DoubleClickListCell(CWnd* list, int row, int column);

// The centre of a cell in the list's client coordinates.
POINT ListCellCentre(CWnd* list, int row, int column);

// Presses the left button at one point of a list's client area, moves the
// pointer with the button held to a second point and releases it there, as a
// hand that shifts during a click, or a drag, does.
void PressMoveRelease(CWnd* list, POINT press, POINT release);

// Scrolls a list's rows sideways as clicks on its scroll bar's arrows do:
// right for a positive count, left for a negative one.
void ScrollListSideways(CWnd* list, int arrowClicks);

// Once a dialog is shown, runs body with it and then cancels the dialog.
void WhenDialogShown(const std::function<void(CWnd* dialog)>& body);

// The dialog font's base units (average character width, character
// height), through which the dialog's template units became pixels.
SIZE DialogBaseUnits(CWnd* dialog);

// The minimum client size the window system is asked to keep.
SIZE MinimumClientSize(CWnd* window);

// Resizes a top-level window's client area as a user dragging its frame would.
void ResizeClient(CWnd* window, int width, int height);

enum class Key { Enter, Escape, AltF4 };

// Presses a key on the window that has the focus in the dialog, as the user would.
void PressKey(CWnd* dialog, Key key);

// Minimises a top-level window as its title bar's button would.
void MinimizeWindow(CWnd* window);

// The window's client area as it paints itself now, 0xAARRGGBB by row.
std::vector<uint32_t> WindowPixels(CWnd* window, int* width, int* height);

}  // namespace platform::testing
