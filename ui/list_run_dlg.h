#pragma once

// The main dialog as list mode runs it: the same start-up, discovery burst,
// dispatch and alive handling, on a toolkit without a display, ended after a
// fixed time. The rows are taken just before the end, while the records that
// the window destroys with itself still exist.

#include <vector>

#include "ui/list_output.h"
#include "ui/quorvel_dlg.h"

inline constexpr UINT_PTR MY_LIST_END_ID = 1236;

class CListRunDlg : public CQuorvelDlg {
public:
    explicit CListRunDlg(int seconds);

    BOOL OnInitDialog() override;

    // The indicators listed when the time was up, in row order.
    const std::vector<ListedIndicator>& Listed() const { return m_listed; }

    DECLARE_MESSAGE_MAP()

protected:
    void OnTimer(UINT_PTR id);

private:
    void TakeRows();

    int m_seconds;
    std::vector<ListedIndicator> m_listed;
};

// A row as list mode prints it: its cells as the window shows them, then the
// details from its record's description.
ListedIndicator ListedRow(const CQuorvelDlg& dialog, int row);

// Writes the indicators to standard output, as a table or as JSON; gives the
// exit code: whether any indicator was listed.
int PrintListed(const std::vector<ListedIndicator>& indicators, bool json);
