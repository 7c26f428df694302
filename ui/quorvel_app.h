#pragma once

#include "afx_app.h"

class CDialog;

// The application object: answers --help, --version and bad options, starts
// socket support, refuses to run with multicast switched off, reads the
// switches and runs the main dialog, in a window or, for --list and --watch,
// without one.
class CQuorvelApp : public CWinApp {
public:
    CQuorvelApp();
    ~CQuorvelApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL RunsHeadless() override;

    bool m_switch_v = false;  // a double-click starts the VNC viewer
    bool m_switch_x = false;  // the extra buttons are shown
    bool m_switch_l = false;  // the diagnostic log is also written to a file
    // --all-interfaces: the group is joined and every search sent on each
    // kept interface, not only the one the system picks.
    bool m_all_interfaces = false;

private:
    void ReadSwitches();
    bool MulticastDisabled() const;
    bool RunMainDialog(CDialog& dialog);

    int m_exit_code = 0;
};

// The one application object, as the other parts read it.
CQuorvelApp* GetQuorvelApp();
