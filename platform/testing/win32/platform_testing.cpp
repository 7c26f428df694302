#include "platform_testing.h"

#include <chrono>

#include "afx_listctrl.h"
#include "device_pixels.h"

// The control macros send through SNDMSG, which the shared headers leave
// without its A or W form.
#undef SNDMSG
#define SNDMSG ::SendMessageA
#include "thread_poll.h"
#include "window_routing.h"

namespace platform::testing {
namespace {

using Clock = std::chrono::steady_clock;

// The dialog's keyboard interface (Return, Escape, Tab) needs the dialog's
// own translation, as its modal loop gives it.
void DispatchOne(const MSG& message)
{
    CWnd* dialog = ActiveDialog();
    if (dialog && ::IsDialogMessageA(dialog->m_hWnd, const_cast<MSG*>(&message)))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
}

BOOL CALLBACK FindShownDialog(HWND handle, LPARAM found)
{
    CWnd* window = platform::PermanentWindowOf(handle);
    if (!window || !::IsWindowVisible(handle) || ::GetParent(handle))
        return TRUE;
    *reinterpret_cast<CWnd**>(found) = window;
    return FALSE;
}

}  // namespace

// What the program's start-up gives it before any window or socket: the
// common controls and Windows Sockets.
void EnsureApplication()
{
    static const bool s_started = [] {
        const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
        WSADATA sockets;
        return ::InitCommonControlsEx(&controls) != FALSE && ::WSAStartup(MAKEWORD(2, 2), &sockets) == 0;
    }();
    (void)s_started;
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        MSG message;
        for (int i = 0; i < 64 && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i)
            DispatchOne(message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

CWnd* ActiveDialog()
{
    CWnd* found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindShownDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void ClickButton(CWnd* dialog, int id)
{
    if (CWnd* button = dialog->GetDlgItem(id))
        ::SendMessageA(button->m_hWnd, BM_CLICK, 0, 0);
}

namespace {

constexpr int kMessageBoxIconId = 0x14;
constexpr int kMessageBoxTextId = 0xffff;

bool IsMessageBox(HWND handle)
{
    char className[16] = {};
    ::GetClassNameA(handle, className, sizeof className);
    return std::string(className) == "#32770" && !platform::PermanentWindowOf(handle) &&
           ::GetDlgItem(handle, kMessageBoxTextId);
}

BOOL CALLBACK FindMessageBox(HWND handle, LPARAM found)
{
    if (!IsMessageBox(handle))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = handle;
    return FALSE;
}

std::string TextOf(HWND handle)
{
    char text[1024] = {};
    ::GetWindowTextA(handle, text, sizeof text);
    return text;
}

// The system's message box shows one of the system's shared icons.
MessageBoxIcon IconShown(HWND box)
{
    const auto icon = reinterpret_cast<HICON>(::SendDlgItemMessageA(box, kMessageBoxIconId, STM_GETICON, 0, 0));
    if (!icon)
        return MessageBoxIcon::None;
    const struct {
        LPCSTR id;
        MessageBoxIcon shown;
    } icons[] = {{IDI_INFORMATION, MessageBoxIcon::Information},
                 {IDI_QUESTION, MessageBoxIcon::Question},
                 {IDI_WARNING, MessageBoxIcon::Warning},
                 {IDI_ERROR, MessageBoxIcon::Error}};
    for (const auto& candidate : icons) {
        if (::LoadIconA(nullptr, candidate.id) == icon)
            return candidate.shown;
    }
    return MessageBoxIcon::None;
}

}  // namespace

void WhenMessageBoxShown(std::function<void(const ShownMessageBox& box)> seen)
{
    StartPoll(
        [seen = std::move(seen)] {
            HWND box = nullptr;
            ::EnumThreadWindows(::GetCurrentThreadId(), &FindMessageBox, reinterpret_cast<LPARAM>(&box));
            if (!box)
                return false;
            seen({TextOf(::GetDlgItem(box, kMessageBoxTextId)), TextOf(box), IconShown(box)});
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        },
        10);
}

INT_PTR RunDialog(CDialog& dialog, const std::function<void()>& body)
{
    EnsureApplication();
    StartPoll(
        [&dialog, &body] {
            body();
            if (dialog.m_hWnd && dialog.IsWindowVisible())
                dialog.EndDialog(IDCANCEL);
            return true;
        },
        USER_TIMER_MINIMUM);
    return dialog.DoModal();
}

struct BareWidget::Surface {
    HWND handle;
};

BareWidget::BareWidget(CWnd& window) : m_window(window), m_surface(nullptr)
{
    EnsureApplication();
    HWND handle = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    m_surface = new Surface{handle};
    platform::Attach(&m_window, handle);
}

BareWidget::~BareWidget()
{
    platform::Detach(&m_window);
    ::DestroyWindow(m_surface->handle);
    delete m_surface;
}

namespace {

HWND HeaderOf(CWnd* list) { return list ? ListView_GetHeader(list->m_hWnd) : nullptr; }

}  // namespace

void ClickHeaderSection(CWnd* list, int section)
{
    HWND header = HeaderOf(list);
    RECT bounds{};
    if (!header || !Header_GetItemRect(header, section, &bounds))
        return;
    const LPARAM centre = MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::SendMessageA(header, WM_LBUTTONUP, 0, centre);
}

std::vector<uint32_t> HeaderSectionPixels(CWnd* list, int section, int* width, int* height)
{
    *width = 0;
    *height = 0;
    HWND header = HeaderOf(list);
    HDITEMA item{};
    item.mask = HDI_BITMAP | HDI_FORMAT;
    if (!header || !Header_GetItem(header, section, &item) || !(item.fmt & HDF_BITMAP) || !item.hbm)
        return {};
    BITMAP bitmap{};
    ::GetObjectA(item.hbm, sizeof bitmap, &bitmap);
    BITMAPINFO info = TopDownBitmapInfo(bitmap.bmWidth, bitmap.bmHeight);
    std::vector<uint32_t> pixels(static_cast<size_t>(bitmap.bmWidth) * static_cast<size_t>(bitmap.bmHeight));
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, item.hbm, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &info,
                                 DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != bitmap.bmHeight)
        return {};
    MakeOpaque(pixels);
    *width = bitmap.bmWidth;
    *height = bitmap.bmHeight;
    return pixels;
}

int ViewRowCount(CWnd* list) { return list ? ListView_GetItemCount(list->m_hWnd) : 0; }

}  // namespace platform::testing
