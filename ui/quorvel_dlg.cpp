#include "ui/quorvel_dlg.h"

#include <initializer_list>

#include "log/log_message.h"
#include "res/resource.h"
#include "ui/quorvel_app.h"

namespace {

constexpr const char kCaption[] = "Quorvel 01.60.00 309220 2017-11-17-11:39:51";
constexpr UINT kExpiryPeriodMs = 60000;

}  // namespace

BEGIN_MESSAGE_MAP(CQuorvelDlg, CDialog)
    ON_BN_CLICKED(IDC_SEARCH, &CQuorvelDlg::OnSearch)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CQuorvelDlg::CQuorvelDlg(CWnd* parent) : CDialog(IDD_QUORVEL_DIALOG, parent) {}

CQuorvelDlg::~CQuorvelDlg() = default;

void CQuorvelDlg::DoDataExchange(CDataExchange* exchange) { CDialog::DoDataExchange(exchange); }

BOOL CQuorvelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(kCaption);
    if (!GetQuorvelApp()->m_switch_x) {
        for (int id : {IDC_SHOW_SCALES, IDC_TELNET, IDC_BACKUP}) {
            if (CWnd* button = GetDlgItem(id))
                button->ShowWindow(SW_HIDE);
        }
    }
    LogMessage("%s\n", kCaption);
    GetClientRect(&m_rcClient);
    LogMessage("OnInitDialog():m_rcClient=%d,%d\n", m_rcClient.Width(), m_rcClient.Height());

    StartNetwork();
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    OnSearch();
    SetTimer(MY_EXPIRY_ID, kExpiryPeriodMs, nullptr);
    return TRUE;
}
