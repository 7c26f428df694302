#pragma once

// The application object. The platform's main() builds the user-interface
// toolkit, records the command line and runs InitInstance of the one
// application object; the process exit code is ExitInstance's result.

#include <string>
#include <vector>

#include "win_types.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Asked by main() before the toolkit starts, with the command line
    // recorded: TRUE when this run shows no window. The toolkit then needs
    // no display, and message boxes go to standard error, as nobody is there
    // to click them.
    virtual BOOL RunsHeadless();

    CWnd* m_pMainWnd = nullptr;
    const char* m_lpCmdLine = nullptr;  // the arguments alone
    const char* m_pszAppName = nullptr;
};

CWinApp* AfxGetApp();

// The program path and its arguments joined with blanks.
char* GetCommandLineA();

// The arguments one by one as given, without the program path.
const std::vector<std::string>& AfxGetArguments();
