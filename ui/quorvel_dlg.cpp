#include "ui/quorvel_dlg.h"

#include <initializer_list>

#include "log/log_message.h"
#include "res/resource.h"
#include "ui/quorvel_app.h"
#include "ui/version_text.h"
#include "win_resource.h"

namespace {

constexpr const char* kCaption = kVersionText;
constexpr UINT kExpiryPeriodMs = 60000;
constexpr UINT kColumnMask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;

// The system's column structure has more members on some systems, and a
// text pointer the control only reads.
LVCOLUMN Column(int format, int width, const char* title, int subItem)
{
    LVCOLUMN column{};
    column.mask = kColumnMask;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    column.iSubItem = subItem;
    return column;
}

const LVCOLUMN kIndicatorColumns[] = {
    Column(LVCFMT_RIGHT, 90, "IP-Addr", kColumnAddress),
    Column(LVCFMT_LEFT, 120, "Hostname", kColumnHostname),
    Column(LVCFMT_LEFT, 120, "DevType", kColumnDevType),
    Column(LVCFMT_LEFT, 70, "Status", kColumnStatus),
    Column(LVCFMT_LEFT, 70, "Valid until", kColumnValidUntil),
};

}  // namespace

BEGIN_MESSAGE_MAP(CQuorvelDlg, CDialog)
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_SEARCH, &CQuorvelDlg::OnSearch)
    ON_NOTIFY(NM_DBLCLK, IDC_LIST, &CQuorvelDlg::OnDblclkList)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_LIST, &CQuorvelDlg::OnItemchangedList)
    ON_NOTIFY(HDN_ITEMCLICKA, 0, &CQuorvelDlg::OnHeaderClick)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_SHOW_SCALES, &CQuorvelDlg::OnShowScales)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_BN_CLICKED(IDC_PING, &CQuorvelDlg::OnPing)
    ON_WM_SYSCOMMAND()
    ON_BN_CLICKED(IDC_TELNET, &CQuorvelDlg::OnTelnet)
    ON_BN_CLICKED(IDC_BACKUP, &CQuorvelDlg::OnBackup)
    ON_BN_CLICKED(IDC_VNC, &CQuorvelDlg::OnVnc)
END_MESSAGE_MAP()

CQuorvelDlg::CQuorvelDlg(CWnd* parent) : CDialog(IDD_QUORVEL_DIALOG, parent), m_hIcon(LoadIconA(IDR_MAINFRAME)) {}

CQuorvelDlg::~CQuorvelDlg() = default;

void CQuorvelDlg::DoDataExchange(CDataExchange* exchange)
{
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_LIST, m_list);
}

BOOL CQuorvelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(kCaption);
    if (!GetQuorvelApp()->m_switch_x) {
        for (int id : {IDC_SHOW_SCALES, IDC_TELNET, IDC_BACKUP})
            GetDlgItem(id)->ShowWindow(SW_HIDE);
    }
    FindViewer();
    LogMessage("%s\n", kCaption);
    GetClientRect(&m_rcClient);
    LogMessage("OnInitDialog():m_rcClient=%d,%d\n", m_rcClient.Width(), m_rcClient.Height());
    RegisterWithResizer();
    ModifyStyle(0, WS_THICKFRAME);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_list.InsertColumns(kIndicatorColumns, static_cast<int>(std::size(kIndicatorColumns)));

    StartNetwork();
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    OnSearch();
    SetTimer(MY_EXPIRY_ID, kExpiryPeriodMs, nullptr);
    return TRUE;
}

// Every record goes with the window, before the sockets close.
void CQuorvelDlg::OnDestroy()
{
    FreeRecords();
    CDialog::OnDestroy();
}
