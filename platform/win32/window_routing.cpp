#include "window_routing.h"

#include <map>
#include <memory>
#include <unordered_map>

#include "list_redraw_hold.h"

namespace {

// The permanent CWnd of each of the program's subclassed windows. Kept in
// the process, not as a window property: every message to a routed window
// looks it up, and under Wine a property read is a round trip to its server.
std::unordered_map<HWND, CWnd*> g_permanents;

// CWnds made by FromHandle for windows without a permanent one. They live
// until their window goes, which the top-level window's end finds out.
std::map<HWND, std::unique_ptr<CWnd>> g_temporaries;

void ForgetGoneTemporaries()
{
    for (auto it = g_temporaries.begin(); it != g_temporaries.end();) {
        if (::IsWindow(it->first)) {
            ++it;
        } else {
            it->second->m_hWnd = nullptr;
            it = g_temporaries.erase(it);
        }
    }
}

void CodeAndId(UINT message, WPARAM wParam, LPARAM lParam, UINT& code, UINT& id)
{
    code = 0;
    id = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }
}

LRESULT Route(CWnd* window, HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd::Impl* impl = window->GetImpl();
    UINT code = 0;
    UINT id = 0;
    CodeAndId(message, wParam, lParam, code, id);
    const AFX_MSGMAP_ENTRY* entry = window->FindMessageEntry(message, code, id);
    if (!entry)
        return ::CallWindowProcA(impl->original, handle, message, wParam, lParam);
    impl->current.push_back(MSG{handle, message, wParam, lParam, 0, {}});
    LRESULT result = 0;
    const LRESULT returned = entry->handler(window, wParam, lParam, &result);
    impl->current.pop_back();
    // A handler that paints without the window's own painting leaves the
    // area invalid, which would bring WM_PAINT back at once. The children
    // keep theirs: they paint themselves.
    if (message == WM_PAINT)
        ::RedrawWindow(handle, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
    return message == WM_NOTIFY ? result : returned;
}

LRESULT CALLBACK RoutedWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    platform::ReleaseHeldListRedrawFor(handle, message);
    CWnd* window = platform::PermanentWindowOf(handle);
    if (!window || !window->GetImpl()->original)
        return ::DefWindowProcA(handle, message, wParam, lParam);
    if (message != WM_NCDESTROY)
        return Route(window, handle, message, wParam, lParam);
    const LRESULT result = ::CallWindowProcA(window->GetImpl()->original, handle, message, wParam, lParam);
    platform::Detach(window);
    ForgetGoneTemporaries();
    return result;
}

}  // namespace

namespace platform {

void Attach(CWnd* window, HWND handle)
{
    window->m_hWnd = handle;
    g_permanents[handle] = window;
    window->GetImpl()->original =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RoutedWindowProc)));
}

void Detach(CWnd* window)
{
    HWND handle = window->m_hWnd;
    CWnd::Impl* impl = window->GetImpl();
    if (handle && impl->original && ::IsWindow(handle))
        ::SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(impl->original));
    const auto permanent = g_permanents.find(handle);
    if (permanent != g_permanents.end() && permanent->second == window)
        g_permanents.erase(permanent);
    impl->original = nullptr;
    window->m_hWnd = nullptr;
}

CWnd* PermanentWindowOf(HWND handle)
{
    const auto permanent = g_permanents.find(handle);
    return permanent == g_permanents.end() ? nullptr : permanent->second;
}

CWnd* WindowOf(HWND handle)
{
    if (!handle)
        return nullptr;
    if (CWnd* permanent = PermanentWindowOf(handle))
        return permanent;
    std::unique_ptr<CWnd>& temporary = g_temporaries[handle];
    if (!temporary) {
        temporary = std::make_unique<CWnd>();
        temporary->m_hWnd = handle;
    }
    return temporary.get();
}

}  // namespace platform
