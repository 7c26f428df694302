#include "ui/quorvel_app.h"

#include <cstdlib>
#include <cstring>

#include "afx_socket.h"
#include "afx_wnd.h"
#include "log/log_message.h"
#include "res/resource.h"
#include "ui/command_line_switches.h"
#include "ui/list_run_dlg.h"
#include "ui/program_options.h"
#include "ui/quorvel_dlg.h"
#include "ui/watch_run_dlg.h"
#include "win_registry.h"

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

// The TCP/IP parameter "IGMPLevel": 2 (or absent, or not a number) means full
// multicast; anything else means the searches could not work.
bool CQuorvelApp::MulticastDisabled() const
{
    static BYTE value[256];
    HKEY parameters = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", 0,
                      KEY_QUERY_VALUE, &parameters) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = sizeof value;
    DWORD level = 2;
    if (RegQueryValueExA(parameters, "IGMPLevel", nullptr, &type, value, &size) == ERROR_SUCCESS && type == REG_DWORD)
        std::memcpy(&level, value, sizeof level);
    RegCloseKey(parameters);
    return level != 2;
}

BOOL CQuorvelApp::RunsHeadless() { return ParseProgramOptions(AfxGetArguments()).mode != RunMode::kWindow; }

BOOL CQuorvelApp::InitInstance()
{
    const ProgramOptions options = ParseProgramOptions(AfxGetArguments());
    if (const std::optional<int> exitCode = AnswerWithoutRunning(options)) {
        m_exit_code = *exitCode;
        return FALSE;
    }
    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        m_exit_code = kExitStartUpFailed;
        return FALSE;
    }
    if (MulticastDisabled()) {
        AfxMessageBox("Multicast support is disabled on your system\nPlease contact your system administatur to enable IGMP",
                      MB_OK | MB_ICONHAND | MB_TASKMODAL);
        std::exit(1);
    }
    ReadSwitches();
    m_all_interfaces = options.all_interfaces;
    if (options.mode == RunMode::kList) {
        CListRunDlg dialog(options.seconds);
        if (RunMainDialog(dialog))
            m_exit_code = PrintListed(dialog.Listed(), options.json);
    } else if (options.mode == RunMode::kWatch) {
        CWatchRunDlg dialog(options.search_every, options.json);
        if (RunMainDialog(dialog))
            m_exit_code = dialog.ExitCode();
    } else {
        CQuorvelDlg dialog;
        RunMainDialog(dialog);
    }
    return FALSE;
}

int CQuorvelApp::ExitInstance() { return m_exit_code; }

// A dialog that could not be made (no desktop to make it on) ends the
// program as a failed start-up, never as a run that succeeded.
bool CQuorvelApp::RunMainDialog(CDialog& dialog)
{
    m_pMainWnd = &dialog;
    const bool made = dialog.DoModal() != -1;
    m_pMainWnd = nullptr;
    if (!made)
        m_exit_code = kExitStartUpFailed;
    return made;
}
