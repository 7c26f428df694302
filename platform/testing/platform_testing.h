#pragma once

// Helpers for tests that drive the real dialog in-process on the offscreen
// platform: controls are found by id as the program finds them.

#include <functional>
#include <string>
#include <vector>

#include "afx_dialog.h"
#include "afx_wnd.h"
#include "platform_seams.h"

namespace platform::testing {

// The toolkit's application object, made once on the offscreen platform.
void EnsureApplication();

// The command line as the program sees it, path first.
void SetCommandLine(const std::vector<std::string>& arguments);

// Dialogs run as in a run without a display: unshown.
void SetHeadless(bool headless);

// Runs the event loop until the condition holds or the deadline passes.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs);
void PumpFor(int milliseconds);

// The top-level dialog window currently shown, if any.
CWnd* ActiveDialog();

void ClickButton(CWnd* dialog, int id);
bool IsControlVisible(CWnd* dialog, int id);
bool IsControlEnabled(CWnd* dialog, int id);

struct MessageBoxCall {
    std::string text;
    std::string caption;
    UINT type;
};

enum class MessageBoxIcon { None, Information, Question, Warning, Error };

struct ShownMessageBox {
    std::string text;
    std::string caption;
    MessageBoxIcon icon;
};

// Once the platform shows a real message box (no handler is set), hands
// what it shows to seen and answers it with OK.
void WhenMessageBoxShown(std::function<void(const ShownMessageBox& box)> seen);

// Records every message box instead of showing it; answers IDOK.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    const std::vector<MessageBoxCall>& calls() const { return m_calls; }

private:
    std::vector<MessageBoxCall> m_calls;
};

}  // namespace platform::testing

namespace platform::testing {

// Runs the dialog modally; once it is shown, runs body, then ends the dialog
// with IDCANCEL (unless body ended it). Returns DoModal's result.
INT_PTR RunDialog(CDialog& dialog, const std::function<void()>& body);

// Bounds the datagrams all sockets hold for the program while this lives.
class ReceiveQueueLimit {
public:
    explicit ReceiveQueueLimit(size_t bytes);
    ~ReceiveQueueLimit();
    ReceiveQueueLimit(const ReceiveQueueLimit&) = delete;
    ReceiveQueueLimit& operator=(const ReceiveQueueLimit&) = delete;
};

// Collects the debugger output line by line (without CR LF) while it lives.
class DebugOutputRecorder {
public:
    DebugOutputRecorder();
    ~DebugOutputRecorder();
    const std::vector<std::string>& lines() const { return m_lines; }
    bool Contains(const std::string& line) const;
    bool ContainsPrefix(const std::string& prefix) const;
    size_t Count(const std::string& line) const;

private:
    std::vector<std::string> m_lines;
};

// Gives a window a hidden plain widget to stand over while this lives, for
// tests of window services such as timers without a dialog.
class BareWidget {
public:
    explicit BareWidget(CWnd& window);
    ~BareWidget();
    BareWidget(const BareWidget&) = delete;
    BareWidget& operator=(const BareWidget&) = delete;

private:
    struct Surface;
    CWnd& m_window;
    Surface* m_surface;
};

}  // namespace platform::testing

namespace platform::testing {

// A left mouse click on the centre of a header section of a list control,
// delivered to the header as the toolkit delivers a real one.
void ClickHeaderSection(CWnd* list, int section);

// The bitmap a header section shows, row by row as 0xAARRGGBB, with its size;
// empty when the section shows none.
std::vector<uint32_t> HeaderSectionPixels(CWnd* list, int section, int* width, int* height);

// How many rows the list's view holds: new rows join it once per frame.
int ViewRowCount(CWnd* list);

}  // namespace platform::testing
