#include "label_widths.h"

#include <string>

namespace {

bool IsLabel(HWND control)
{
    char className[16] = "";
    ::GetClassNameA(control, className, sizeof className);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(control, GWL_STYLE));
    return ::lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT;
}

// The width of the label's text on one line in its own font, a mnemonic's
// ampersand not counted.
int TextWidth(HWND label)
{
    const int length = ::GetWindowTextLengthA(label);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(label, text.data(), length + 1)));
    HDC dc = ::GetDC(label);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT extent{};
    ::DrawTextA(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, previous);
    ::ReleaseDC(label, dc);
    return extent.right - extent.left;
}

}  // namespace

namespace platform {

void WidenLabelsToTheirText(HWND dialog)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsLabel(child))
            continue;
        RECT box{};
        ::GetWindowRect(child, &box);
        const int width = TextWidth(child);
        if (width > box.right - box.left)
            ::SetWindowPos(child, nullptr, 0, 0, width, box.bottom - box.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace platform
