#pragma once

// The main dialog as watch mode runs it: the same start-up, bursts,
// dispatch, alive handling and expiry as the window, on a toolkit without a
// display, until SIGINT or SIGTERM ends it as closing the window does, or
// until nobody reads its output. Each change of a row is written to standard
// output the moment it happens, one line each.

#include <string>
#include <unordered_map>

#include "ui/list_output.h"
#include "ui/quorvel_dlg.h"

inline constexpr UINT_PTR MY_SEARCH_EVERY_ID = 1237;

class CWatchRunDlg : public CQuorvelDlg {
public:
    // searchEvery: seconds between presses of Search; 0 for the first burst only.
    CWatchRunDlg(int searchEvery, bool json);

    BOOL OnInitDialog() override;

    // Done, also when the reader went away; output failed when standard
    // output could not be written for another reason.
    int ExitCode() const { return m_exit_code; }

    DECLARE_MESSAGE_MAP()

protected:
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnRowWritten(int row) override;

private:
    static BOOL OnConsoleCtrl(DWORD ctrlType);
    void Print(const std::string& line);

    int m_search_every;
    bool m_json;
    bool m_printing = true;
    int m_exit_code;
    // What was last printed of each row, to tell a change from a repeat.
    std::unordered_map<const IndicatorRecord*, ListedIndicator> m_printed;
};
