#pragma once

// How a CWnd stands over its widget, for the platform's own use.

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

#include "afx_wnd.h"

class QTimer;

struct CWnd::Impl {
    QPointer<QWidget> widget;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::map<UINT_PTR, QTimer*> timers;
    // The default processing of each message being handled, innermost last.
    std::vector<std::function<LRESULT()>> defaults;
};

namespace platform {

// The style a dialog control was created with, kept on its widget.
inline constexpr const char* kTemplateStyleProperty = "quorvel.style";

QWidget* WidgetOf(const CWnd* window);
CWnd* WindowOf(const QWidget* widget);

// Makes window the permanent CWnd of widget.
void Attach(CWnd* window, QWidget* widget, DWORD style);
void Detach(CWnd* window);

// Runs the message through the window's message map; without an entry, the
// given default processing (or the window's DefWindowProc when none is given).
LRESULT Dispatch(CWnd* window, UINT message, WPARAM wParam, LPARAM lParam,
                 std::function<LRESULT()> defaultProcessing = {});

// WM_NOTIFY from a control to its parent, with the control's id filled in.
LRESULT NotifyParent(CWnd* control, NMHDR& header);

int ShowMessageBox(const char* text, const char* caption, UINT type);

// Records the screen position of the mouse message being delivered.
void SetMessagePos(int x, int y);

}  // namespace platform
