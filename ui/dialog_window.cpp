// The main dialog's window side: icon, viewer lookup, layout registration,
// minimum size, painting when minimised.

#include <initializer_list>

#include "afx_gdi.h"
#include "res/resource.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"
#include "win_search.h"

namespace {

struct Registration {
    int id;
    int anchors;
};

constexpr int kStretch = ANCHOR_LEFT | ANCHOR_RIGHT | ANCHOR_TOP | ANCHOR_BOTTOM;
constexpr int kWiden = ANCHOR_LEFT | ANCHOR_RIGHT | ANCHOR_BOTTOM;
constexpr int kFollowBottom = ANCHOR_LEFT | ANCHOR_BOTTOM;

// The order of registration is kept as it was laid down.
constexpr Registration kRegistrations[] = {
    {IDC_LIST, kStretch},           {IDC_SEARCH, kFollowBottom},       {IDC_BEEP, kFollowBottom},
    {IDC_PING, kFollowBottom},      {IDC_SHOW_SCALES, kFollowBottom},  {IDC_BACKUP, kFollowBottom},
    {IDC_TELNET, kFollowBottom},    {IDC_VNC, kFollowBottom},          {IDOK, kFollowBottom},
    {IDC_GUID, kWiden},             {IDC_MODEL_NUMBER, kWiden},        {IDC_MODEL_NAME, kWiden},
    {IDC_SERIAL_NUMBER, kWiden},    {IDC_LABEL_GUID, kFollowBottom},   {IDC_LABEL_MODEL_NUMBER, kFollowBottom},
    {IDC_LABEL_MODEL_NAME, kFollowBottom}, {IDC_LABEL_SERIAL_NUMBER, kFollowBottom},
};

bool OnlyWithExtraButtons(int id) { return id == IDC_SHOW_SCALES || id == IDC_BACKUP || id == IDC_TELNET; }

}  // namespace

void CQuorvelDlg::FindViewer()
{
    char path[MAX_PATH];
    DWORD length = SearchPathA(nullptr, "vncviewer", ".exe", sizeof path, path, nullptr);
    if (length >= 1 && length < sizeof path)
        m_viewer_path = path;
}

void CQuorvelDlg::AddToResizer(int id, int anchors)
{
    if (CWnd* control = GetDlgItem(id))
        m_resizer.Add(control, anchors);
}

void CQuorvelDlg::RegisterWithResizer()
{
    const bool extraButtons = GetQuorvelApp()->m_switch_x;
    for (const Registration& registration : kRegistrations) {
        if (extraButtons || !OnlyWithExtraButtons(registration.id))
            AddToResizer(registration.id, registration.anchors);
    }
}

void CQuorvelDlg::OnSize(UINT type, int cx, int cy)
{
    ModifyStyle(0, WS_THICKFRAME);
    CDialog::OnSize(type, cx, cy);
    m_resizer.Resize(this);
}

// The dialog never gets smaller than it was laid out. Its frame is that of
// a tool window, whose caption is lower than a plain window's.
void CQuorvelDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CRect window = m_rcClient;
    AdjustWindowRectEx(&window, GetStyle(), FALSE, GetExStyle());
    info->ptMinTrackSize.x = window.Width();
    info->ptMinTrackSize.y = window.Height();
    CDialog::OnGetMinMaxInfo(info);
}

void CQuorvelDlg::OnSysCommand(UINT id, LPARAM lParam) { CDialog::OnSysCommand(id, lParam); }

// Minimised, the dialog shows its icon centred in the client area.
void CQuorvelDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CQuorvelDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
