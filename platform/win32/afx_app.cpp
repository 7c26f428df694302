#include "afx_app.h"

#include "app_internal.h"

namespace {

CWinApp* g_app = nullptr;
std::string g_arguments;
std::vector<std::string> g_argumentList;
bool g_headless = false;

std::string JoinWithBlanks(const std::vector<std::string>& parts)
{
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += ' ';
        joined += part;
    }
    return joined;
}

}  // namespace

namespace platform {

void RecordCommandLine(int argc, char** argv)
{
    g_argumentList.assign(argv + 1, argv + argc);
    g_arguments = JoinWithBlanks(g_argumentList);
}

const char* RecordedArguments() { return g_arguments.c_str(); }

void SetHeadless(bool headless) { g_headless = headless; }

bool IsHeadless() { return g_headless; }

}  // namespace platform

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

BOOL CWinApp::RunsHeadless() { return FALSE; }

CWinApp* AfxGetApp() { return g_app; }

const std::vector<std::string>& AfxGetArguments() { return g_argumentList; }
