// What a dialog does the same on every platform: its data exchange and its
// default answers to OK and Cancel.

#include "afx_dialog.h"

void DDX_Control(CDataExchange* exchange, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

const AFX_MSGMAP* CDialog::GetThisMessageMap()
{
    using ThisClass = CDialog;
    static const AFX_MSGMAP_ENTRY entries[] = {
        {WM_COMMAND, BN_CLICKED, IDOK, AFX_HANDLER(self->OnOK(); return 0;)},
        {WM_COMMAND, BN_CLICKED, IDCANCEL, AFX_HANDLER(self->OnCancel(); return 0;)},
        {0, 0, 0, nullptr},
    };
    static const AFX_MSGMAP map = {&CWnd::GetThisMessageMap, entries};
    return &map;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
