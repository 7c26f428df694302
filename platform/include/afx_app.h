#pragma once

// The application object. The platform's main() builds the user-interface
// toolkit, records the command line and runs InitInstance of the one
// application object; the process exit code is ExitInstance's result.

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

    CWnd* m_pMainWnd = nullptr;
    const char* m_lpCmdLine = nullptr;  // the arguments alone
    const char* m_pszAppName = nullptr;
};

CWinApp* AfxGetApp();

// The program path and its arguments joined with blanks.
const char* GetCommandLineA();
