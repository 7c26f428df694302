// "Show Scales": one page showing every present indicator as the display
// applet its own web server serves, written to the temporary directory and
// opened in the browser.

#include <string>

#include "log/log_message.h"
#include "res/resource.h"
#include "ui/overview_page.h"
#include "ui/quorvel_dlg.h"
#include "win_kernel.h"
#include "win_shell.h"
#include "win_temp.h"

namespace {

constexpr const char kHead[] =
    "<HTML><HEAD><TITLE>Indicators</TITLE></HEAD><BODY MARGINWIDTH=\"0\" MARGINHEIGHT=\"0\" TOPMARGIN=\"0\" "
    "LEFTMARGIN=\"0\" BGCOLOR=\"#FFFFFF\"><table cellpadding=2 cellspacing=2 border=0 bgcolor=\"#DDDDDD\">";
constexpr const char kTail[] = "</table></BODY></HTML>";

bool WriteWhole(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
}

}  // namespace

std::string EscapeHtml(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string OverviewPageRows(const IndicatorRecord& record)
{
    return "<tr><th>" + EscapeHtml(record.hostname) + "</th></tr>" +
           "<tr><td><APPLET CODEBASE=\"http://" + EscapeHtml(record.address_text) +
           "/\" ARCHIVE=\"Indicator.jar\" CODE=\"Indicator.class\" WIDTH=300 HEIGHT=64></APPLET></td></tr>";
}

std::string CQuorvelDlg::OverviewPage() const
{
    std::string page = kHead;
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        const IndicatorRecord* record = RecordAt(row);
        if (record && record->valid_until != 0 && !record->hostname.empty())
            page += OverviewPageRows(*record);
    }
    return page + kTail;
}

void CQuorvelDlg::OnShowScales()
{
    char directory[256];
    const DWORD length = GetTempPathA(255, directory);
    if (length == 0 || length > 255)
        return;
    const std::string path = std::string(directory) + "Indicators.html";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LogMessage(">cannot write \"%s\": %s", path.c_str(), GetErrorText(static_cast<int>(GetLastError())));
        return;
    }
    WriteWhole(file, OverviewPage());
    CloseHandle(file);
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}
