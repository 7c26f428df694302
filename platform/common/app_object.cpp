// The application object and the command line, the same on every platform.

#include "afx_app.h"

#include <string>
#include <vector>

#include "app_internal.h"

namespace {

CWinApp* g_app = nullptr;
std::string g_commandLine;
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
    std::vector<std::string> arguments(argv + 1, argv + argc);
    g_argumentList = arguments;
    g_arguments = JoinWithBlanks(arguments);
    arguments.insert(arguments.begin(), argc > 0 ? argv[0] : "quorvel");
    g_commandLine = JoinWithBlanks(arguments);
}

const char* RecordedArguments() { return g_arguments.c_str(); }

char* RecordedCommandLine() { return g_commandLine.data(); }

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

