// What the user does with the selected indicator. Every action works on the
// indicator selected at the moment and reports nothing to the user.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "indicators/description_elements.h"
#include "indicators/get_url.h"
#include "log/log_message.h"
#include "res/resource.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"
#include "win_shell.h"

namespace {

// The address comes from a device on the LAN: only web pages may go to the
// desktop's opener, never a local file or another kind of address.
bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char wanted, char given) {
               return wanted == std::tolower(static_cast<unsigned char>(given));
           });
}

bool IsWebAddress(const std::string& url)
{
    return StartsWithIgnoringCase(url, "http://") || StartsWithIgnoringCase(url, "https://");
}

void ShellOpen(const char* file, const char* parameters)
{
    ShellExecuteA(nullptr, "open", file, parameters, nullptr, SW_SHOWDEFAULT);
}

}  // namespace

// Open, and Backup with "backup.html" glued to the page's address.
void CQuorvelDlg::OpenPresentationPage(const char* suffix)
{
    const IndicatorRecord* record = GetSelectedRecord();
    if (!record)
        return;
    const std::string url = ElementText(record->description, kPresentationUrlElement);
    if (url.empty())
        return;
    const std::string page = url + suffix;
    if (!IsWebAddress(page)) {
        LogMessage(">refusing to open \"%s\": not a web address", page.c_str());
        return;
    }
    ShellOpen(page.c_str(), nullptr);
}

// Enter and the Open button open the page and never close the dialog.
void CQuorvelDlg::OnOK() { OpenPresentationPage(""); }

void CQuorvelDlg::OnBackup() { OpenPresentationPage("backup.html"); }

void CQuorvelDlg::OnTelnet()
{
    if (const IndicatorRecord* record = GetSelectedRecord())
        ShellOpen("telnet", record->address_text.c_str());
}

void CQuorvelDlg::OnVnc()
{
    const IndicatorRecord* record = GetSelectedRecord();
    if (!record)
        return;
    if (m_viewer_path.empty()) {
        LogMessage(">no vncviewer found on the search path");
        return;
    }
    const std::string display = record->address_text + ":1";
    ShellOpen(m_viewer_path.c_str(), display.c_str());
}

void CQuorvelDlg::OnPing()
{
    const IndicatorRecord* record = GetSelectedRecord();
    if (!record)
        return;
    char url[32];
    std::snprintf(url, sizeof url, "http://%s/ping", record->address_text.c_str());
    GetUrl(url);
}

// Only a double-click on a row acts; it acts on the selection the first
// click of it made.
void CQuorvelDlg::OnDblclkList(NMHDR*, LRESULT* result)
{
    const DWORD position = GetMessagePos();
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    m_list.ScreenToClient(&point);
    LVHITTESTINFO hit{};
    hit.pt = point;
    if (m_list.SubItemHitTest(&hit) >= 0) {
        if (GetQuorvelApp()->m_switch_v)
            OnVnc();
        else
            OnOK();
    }
    *result = 0;
}
