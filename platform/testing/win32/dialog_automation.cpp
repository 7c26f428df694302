#include "dialog_automation.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "afx_listctrl.h"
#include "device_pixels.h"

// The control macros send through SNDMSG, which the shared headers leave
// without its A or W form.
#undef SNDMSG
#define SNDMSG ::SendMessageA
#include "platform_testing.h"
#include "thread_poll.h"

namespace platform::testing {
namespace {

// Input goes through the thread's queue as the system's own does, and is
// handled before the call returns, as a real click is before the next one.
void DispatchPosted()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        CWnd* dialog = ActiveDialog();
        if (dialog && ::IsDialogMessageA(dialog->m_hWnd, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

// The pointer goes there first: a posted message carries the pointer's
// position of its posting, which GetMessagePos tells its handler.
void PostMouse(HWND window, UINT message, POINT at, WPARAM keys)
{
    POINT onScreen = at;
    ::ClientToScreen(window, &onScreen);
    ::SetCursorPos(onScreen.x, onScreen.y);
    ::PostMessageA(window, message, keys, MAKELPARAM(at.x, at.y));
}

// A column's centre in the list's client coordinates, after any sideways
// scrolling: the header moves with the rows.
int ColumnCentre(HWND list, int column)
{
    HWND header = ListView_GetHeader(list);
    RECT bounds{};
    Header_GetItemRect(header, column, &bounds);
    ::MapWindowPoints(header, list, reinterpret_cast<POINT*>(&bounds), 2);
    return (bounds.left + bounds.right) / 2;
}

RECT RowBounds(HWND list, int row)
{
    RECT bounds{0, 0, 1, 16};
    ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
    return bounds;
}

void Click(CWnd* list, int row, int column, bool twice)
{
    const POINT at = ListCellCentre(list, row, column);
    HWND handle = list->m_hWnd;
    PostMouse(handle, WM_LBUTTONDOWN, at, MK_LBUTTON);
    PostMouse(handle, WM_LBUTTONUP, at, 0);
    if (twice) {
        PostMouse(handle, WM_LBUTTONDBLCLK, at, MK_LBUTTON);
        PostMouse(handle, WM_LBUTTONUP, at, 0);
    }
    DispatchPosted();
}

RECT ClientRect(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return client;
}

// The outer size of a window whose client area has the given size.
SIZE WindowSizeFor(HWND window, int width, int height)
{
    RECT outer{0, 0, width, height};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE)));
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

// A shown window as the screen has it, painted afresh; a hidden one as it
// paints itself when asked to print (Wine prints a header's bitmaps only
// onto the screen).
void CopyClientArea(HWND window, HDC target, const RECT& client)
{
    if (!::IsWindowVisible(window)) {
        ::PrintWindow(window, target, PW_CLIENTONLY);
        return;
    }
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC screen = ::GetDC(window);
    ::BitBlt(target, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ::ReleaseDC(window, screen);
}

}  // namespace

POINT ListCellCentre(CWnd* list, int row, int column)
{
    HWND handle = list->m_hWnd;
    const int rows = ListView_GetItemCount(handle);
    const int x = ColumnCentre(handle, column);
    if (row < rows) {
        const RECT bounds = RowBounds(handle, row);
        return POINT{x, (bounds.top + bounds.bottom) / 2};
    }
    const RECT last = rows > 0 ? RowBounds(handle, rows - 1) : RECT{0, 0, 1, 16};
    return POINT{x, last.bottom + (row - rows + 1) * (last.bottom - last.top)};
}

void ClickListCell(CWnd* list, int row, int column) { Click(list, row, column, false); }

void DoubleClickListCell(CWnd* list, int row, int column) { Click(list, row, column, true); }

void PressMoveRelease(CWnd* list, POINT press, POINT release)
{
    PostMouse(list->m_hWnd, WM_LBUTTONDOWN, press, MK_LBUTTON);
    PostMouse(list->m_hWnd, WM_MOUSEMOVE, release, MK_LBUTTON);
    PostMouse(list->m_hWnd, WM_LBUTTONUP, release, 0);
    DispatchPosted();
}

void ScrollListSideways(CWnd* list, int arrowClicks)
{
    const WPARAM arrow = arrowClicks > 0 ? SB_LINERIGHT : SB_LINELEFT;
    for (int click = 0; click < std::abs(arrowClicks); ++click)
        ::SendMessageA(list->m_hWnd, WM_HSCROLL, arrow, 0);
}

void WhenDialogShown(const std::function<void(CWnd* dialog)>& body)
{
    StartPoll(
        [body] {
            CWnd* dialog = ActiveDialog();
            if (!dialog)
                return false;
            body(dialog);
            if (dialog->m_hWnd)
                ::SendMessageA(dialog->m_hWnd, WM_CLOSE, 0, 0);
            return true;
        },
        10);
}

SIZE DialogBaseUnits(CWnd* dialog)
{
    RECT units{0, 0, 4, 8};
    ::MapDialogRect(dialog->m_hWnd, &units);
    return SIZE{units.right, units.bottom};
}

SIZE MinimumClientSize(CWnd* window)
{
    MINMAXINFO info{};
    ::SendMessageA(window->m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const SIZE frame = WindowSizeFor(window->m_hWnd, 0, 0);
    return SIZE{info.ptMinTrackSize.x - frame.cx, info.ptMinTrackSize.y - frame.cy};
}

void ResizeClient(CWnd* window, int width, int height)
{
    const SIZE outer = WindowSizeFor(window->m_hWnd, width, height);
    ::SetWindowPos(window->m_hWnd, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

WPARAM VirtualKeyOf(Key key)
{
    switch (key) {
    case Key::Enter:
        return VK_RETURN;
    case Key::Escape:
        return VK_ESCAPE;
    case Key::Down:
        return VK_DOWN;
    case Key::Left:
        return VK_LEFT;
    case Key::Right:
        return VK_RIGHT;
    case Key::Space:
        return VK_SPACE;
    case Key::Tab:
    case Key::ShiftTab:
        return VK_TAB;
    case Key::AltF4:
        return VK_F4;
    }
    return 0;
}

// A key held down as the thread's key state has it while this lives: the
// dialog manager reads Shift there for Shift+Tab.
class KeyboardState {
public:
    explicit KeyboardState(int heldKey)
    {
        ::GetKeyboardState(m_saved);
        if (!heldKey)
            return;
        BYTE held[256];
        std::copy(std::begin(m_saved), std::end(m_saved), std::begin(held));
        held[heldKey] |= 0x80;
        ::SetKeyboardState(held);
    }
    ~KeyboardState() { ::SetKeyboardState(m_saved); }
    KeyboardState(const KeyboardState&) = delete;
    KeyboardState& operator=(const KeyboardState&) = delete;

private:
    BYTE m_saved[256];
};

}  // namespace

void PressKey(CWnd* dialog, Key key)
{
    HWND focus = ::GetFocus();
    HWND target = focus && ::IsChild(dialog->m_hWnd, focus) ? focus : dialog->m_hWnd;
    const KeyboardState shift(key == Key::ShiftTab ? VK_SHIFT : 0);
    // Alt held makes a system key, with the context bit set.
    const bool alt = key == Key::AltF4;
    const LPARAM context = (alt ? LPARAM{1} << 29 : 0) | 1;
    const WPARAM code = VirtualKeyOf(key);
    ::PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, code, context);
    ::PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, code, context | (LPARAM{1} << 30) | (LPARAM{1} << 31));
    DispatchPosted();
}

namespace {

// The system's colours of the controls and their text, as a dark scheme
// sets them; the old ones come back after.
constexpr int kSchemeElements[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT};
constexpr COLORREF kDarkScheme[] = {RGB(0x35, 0x35, 0x35), RGB(0xFF, 0xFF, 0xFF), RGB(0x23, 0x23, 0x23),
                                    RGB(0xFF, 0xFF, 0xFF)};

COLORREF* SavedScheme()
{
    static COLORREF saved[std::size(kSchemeElements)];
    return saved;
}

}  // namespace

DarkDesktop::DarkDesktop()
{
    for (size_t i = 0; i < std::size(kSchemeElements); ++i)
        SavedScheme()[i] = ::GetSysColor(kSchemeElements[i]);
    ::SetSysColors(static_cast<int>(std::size(kSchemeElements)), kSchemeElements, kDarkScheme);
}

DarkDesktop::~DarkDesktop()
{
    ::SetSysColors(static_cast<int>(std::size(kSchemeElements)), kSchemeElements, SavedScheme());
}

void MinimizeWindow(CWnd* window) { ::ShowWindow(window->m_hWnd, SW_MINIMIZE); }

std::vector<uint32_t> WindowPixels(CWnd* window, int* width, int* height)
{
    const RECT client = ClientRect(window->m_hWnd);
    *width = client.right;
    *height = client.bottom;
    BITMAPINFO info = TopDownBitmapInfo(client.right, client.bottom);
    void* bits = nullptr;
    HDC memory = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    CopyClientArea(window->m_hWnd, memory, client);
    ::GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(first, first + static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom));
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    MakeOpaque(pixels);
    return pixels;
}

}  // namespace platform::testing
