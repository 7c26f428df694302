#include "socket_window.h"

namespace {

constexpr const char* kClassName = "QuorvelSocketNotices";

platform::SocketNoticeHandler g_handler = nullptr;

LRESULT CALLBACK SocketWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != platform::kSocketNotice || !g_handler)
        return ::DefWindowProcA(window, message, wParam, lParam);
    g_handler(static_cast<SOCKET>(wParam), WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
    return 0;
}

}  // namespace

namespace platform {

HWND SocketWindow(SocketNoticeHandler handler)
{
    static HWND window = nullptr;
    g_handler = handler;
    if (window)
        return window;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &SocketWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);
    window = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    return window;
}

}  // namespace platform
