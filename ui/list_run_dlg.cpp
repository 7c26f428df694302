#include "ui/list_run_dlg.h"

#include <cstdio>

#include "ui/program_options.h"

BEGIN_MESSAGE_MAP(CListRunDlg, CQuorvelDlg)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CListRunDlg::CListRunDlg(int seconds) : m_seconds(seconds) {}

BOOL CListRunDlg::OnInitDialog()
{
    const BOOL result = CQuorvelDlg::OnInitDialog();
    SetTimer(MY_LIST_END_ID, static_cast<UINT>(m_seconds) * 1000u, nullptr);
    return result;
}

void CListRunDlg::OnTimer(UINT_PTR id)
{
    if (id != MY_LIST_END_ID) {
        CQuorvelDlg::OnTimer(id);
        return;
    }
    KillTimer(MY_LIST_END_ID);
    TakeRows();
    EndDialog(IDCANCEL);
}

void CListRunDlg::TakeRows()
{
    m_listed.clear();
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row)
        m_listed.push_back(ListedRow(*this, row));
}

ListedIndicator ListedRow(const CQuorvelDlg& dialog, int row)
{
    RowCells cells;
    for (size_t column = 0; column < kRowCellCount; ++column)
        cells[column] = dialog.m_list.GetItemText(row, static_cast<int>(column));
    const IndicatorRecord* record = dialog.RecordAt(row);
    return MakeListedIndicator(cells, record ? record->description : std::string());
}

int PrintListed(const std::vector<ListedIndicator>& indicators, bool json)
{
    const std::string text = json ? FormatListJson(indicators) : FormatListTable(indicators);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return indicators.empty() ? kExitNoneListed : kExitDone;
}
