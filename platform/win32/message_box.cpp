#include <cstdio>

#include "afx_app.h"
#include "afx_wnd.h"
#include "app_internal.h"
#include "seams_internal.h"
#include "win_resource.h"

namespace {

constexpr const char* kDefaultCaption = "Quorvel";

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    const char* title = caption ? caption : kDefaultCaption;
    if (const auto& handler = platform::seams::CurrentMessageBoxHandler())
        return handler(text, title, type);
    if (platform::IsHeadless()) {
        std::fprintf(stderr, "%s: %s\n", title, text);
        std::fflush(stderr);
        return IDOK;
    }
    return ::MessageBoxA(owner, text, title, type);
}

HWND MainWindow()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

}  // namespace

int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    return ShowMessageBox(m_hWnd, text, caption, type);
}

int AfxMessageBox(const char* text, UINT type, UINT) { return ShowMessageBox(MainWindow(), text, nullptr, type); }

int AfxMessageBox(UINT promptId, UINT type, UINT)
{
    const char* text = FindStringResource(promptId);
    return ShowMessageBox(MainWindow(), text ? text : "", nullptr, type);
}
