#include "ui/quorvel_app.h"

#include <cstring>

#include "afx_socket.h"
#include "afx_wnd.h"
#include "log/log_message.h"
#include "res/resource.h"
#include "ui/quorvel_dlg.h"

namespace {

// Plain, case-sensitive substring search: a match anywhere counts, inside
// another argument or the program's own path too.
bool HasSwitch(const char* commandLine, const char* arguments, char letter)
{
    const char slashForm[] = {'/', letter, '\0'};
    const char dashForm[] = {'-', letter, '\0'};
    return (commandLine && (std::strstr(commandLine, slashForm) || std::strstr(commandLine, dashForm))) ||
           (arguments && std::strstr(arguments, dashForm));
}

}  // namespace

CQuorvelApp::CQuorvelApp() = default;

CQuorvelApp::~CQuorvelApp() = default;

CQuorvelApp* GetQuorvelApp() { return static_cast<CQuorvelApp*>(AfxGetApp()); }

void CQuorvelApp::ReadSwitches()
{
    m_switch_x = m_switch_l = m_switch_v = false;
    const char* commandLine = GetCommandLineA();
    m_switch_x = HasSwitch(commandLine, m_lpCmdLine, 'X');
    m_switch_l = HasSwitch(commandLine, m_lpCmdLine, 'L');
    m_switch_v = HasSwitch(commandLine, m_lpCmdLine, 'V');
    TheLog().SetSwitch(m_switch_l);
}

BOOL CQuorvelApp::InitInstance()
{
    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    ReadSwitches();
    CQuorvelDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
