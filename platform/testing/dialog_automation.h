#pragma once

// Real mouse input for dialog tests, delivered through the window system
// events the controls handle, and a way to act on a dialog that a call under
// test shows modally.

#include <cstdint>
#include <functional>
#include <string>
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

enum class Key { Enter, Escape, AltF4, Down, Left, Right, Space, Tab, ShiftTab };

// Waits until the dialog is the active window, as it is once the window
// system has shown it: only then does a control hold the keyboard focus.
bool WaitUntilActive(CWnd* dialog);

// Presses a key on the window that has the focus in the dialog, as the user would.
void PressKey(CWnd* dialog, Key key);

// Minimises a top-level window as its title bar's button would.
void MinimizeWindow(CWnd* window);

// What assistive technology reads of an object.
struct AccessibleFacts {
    std::string name;
    std::string description;
    std::vector<std::string> actions;
};

// Of a control of a dialog, by its id.
AccessibleFacts ControlAccessibility(CWnd* dialog, int id);
// Of a column's header cell as the list presents it among its cells.
AccessibleFacts ListColumnHeaderAccessibility(CWnd* list, int column);
// Of what has the keyboard focus, down to the cell or section: what a
// screen reader says when the focus moves.
AccessibleFacts FocusAccessibility(CWnd* dialog);
// Runs an action of what has the keyboard focus; false when it has none such.
bool DoFocusAction(CWnd* dialog, const std::string& action);

// The desktop's interface font size while this lives, as a user's desktop
// setting reaches the program (the Qt platform's: on Windows the system
// scales the template's font with the display).
class DesktopFontSize {
public:
    explicit DesktopFontSize(double pointSize);
    ~DesktopFontSize();
    DesktopFontSize(const DesktopFontSize&) = delete;
    DesktopFontSize& operator=(const DesktopFontSize&) = delete;
};

// A dark colour scheme while this lives: light text (white) on dark
// controls (0x353535).
class DarkDesktop {
public:
    DarkDesktop();
    ~DarkDesktop();
    DarkDesktop(const DarkDesktop&) = delete;
    DarkDesktop& operator=(const DarkDesktop&) = delete;
};

// The window's client area as it paints itself now, 0xAARRGGBB by row.
std::vector<uint32_t> WindowPixels(CWnd* window, int* width, int* height);

}  // namespace platform::testing
