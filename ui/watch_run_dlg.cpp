#include "ui/watch_run_dlg.h"

#include <utility>

#include "afx_app.h"
#include "log/log_message.h"
#include "ui/list_run_dlg.h"
#include "ui/program_options.h"
#include "ui/watch_output.h"
#include "win_console.h"
#include "win_kernel.h"

BEGIN_MESSAGE_MAP(CWatchRunDlg, CQuorvelDlg)
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CWatchRunDlg::CWatchRunDlg(int searchEvery, bool json)
    : m_search_every(searchEvery), m_json(json), m_exit_code(kExitDone)
{
}

BOOL CWatchRunDlg::OnInitDialog()
{
    const BOOL result = CQuorvelDlg::OnInitDialog();
    SetConsoleCtrlHandler(&CWatchRunDlg::OnConsoleCtrl, TRUE);
    if (m_search_every > 0)
        SetTimer(MY_SEARCH_EVERY_ID, static_cast<UINT>(m_search_every) * 1000u, nullptr);
    return result;
}

void CWatchRunDlg::OnDestroy()
{
    SetConsoleCtrlHandler(&CWatchRunDlg::OnConsoleCtrl, FALSE);
    CQuorvelDlg::OnDestroy();
}

// A request to end is taken as a click on the close box: the window's own
// way out frees the rows and closes the sockets.
BOOL CWatchRunDlg::OnConsoleCtrl(DWORD)
{
    if (CWnd* window = AfxGetApp()->m_pMainWnd)
        window->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    return TRUE;
}

void CWatchRunDlg::OnTimer(UINT_PTR id)
{
    if (id == MY_SEARCH_EVERY_ID)
        SearchAgain();
    else
        CQuorvelDlg::OnTimer(id);
}

void CWatchRunDlg::OnRowWritten(int row)
{
    const IndicatorRecord* record = RecordAt(row);
    if (!m_printing || !record)
        return;
    ListedIndicator now = ListedRow(*this, row);
    const auto [printed, first] = m_printed.try_emplace(record, now);
    if (!first && !ChangedBeyondExpiry(printed->second, now))
        return;
    printed->second = std::move(now);
    Print(FormatWatchLine(WatchTime(_time64(nullptr)), printed->second, m_json));
}

namespace {

// The reader went away, or a request to end came while it was not reading.
bool EndsQuietly(DWORD error)
{
    for (const auto quiet : {ERROR_BROKEN_PIPE, ERROR_NO_DATA, ERROR_OPERATION_ABORTED}) {
        if (error == static_cast<DWORD>(quiet))
            return true;
    }
    return false;
}

}  // namespace

// A reader that went away (a closed pipe), or a request to end that came
// while the reader was not reading, ends the watch quietly; any other
// failure to write ends it with the reason. The socket support has SIGPIPE
// ignored, so a closed pipe is a failed write like any other. A line cut
// short by a request to end is the last one.
void CWatchRunDlg::Print(const std::string& line)
{
    DWORD written = 0;
    if (WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        return;
    const DWORD error = GetLastError();
    m_printing = false;
    if (!EndsQuietly(error)) {
        const int code = static_cast<int>(error);
        LogMessage("CWatchRunDlg::Print() failed(%d:%s)", code, GetErrorText(code));
        m_exit_code = kExitOutputFailed;
    }
    EndDialog(IDCANCEL);
}
