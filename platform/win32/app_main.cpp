#include <io.h>

#include <cstdio>

#include "afx_app.h"
#include "app_internal.h"

namespace {

bool IsUsable(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

// The stream and the system's standard handle both, as the program writes
// through either.
void ReopenOnConsole(FILE* stream, DWORD which)
{
    if (std::freopen("CONOUT$", "w", stream))
        ::SetStdHandle(which, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
}

// A program of the GUI subsystem starts without a console. A run that
// prints writes to handles redirected for it, or else to the console of the
// command prompt that started it; a standard stream with neither stays shut.
// The console is joined either way, so that Ctrl+C there reaches watch mode.
void ConnectStandardStreams()
{
    const bool outputGiven = IsUsable(::GetStdHandle(STD_OUTPUT_HANDLE));
    const bool errorGiven = IsUsable(::GetStdHandle(STD_ERROR_HANDLE));
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!outputGiven)
        ReopenOnConsole(stdout, STD_OUTPUT_HANDLE);
    if (!errorGiven)
        ReopenOnConsole(stderr, STD_ERROR_HANDLE);
}

}  // namespace

// The framework's entry point: the program supplies only its application
// object, whose InitInstance runs the program. The C runtime calls main for
// the GUI subsystem too, with the command line split as the system splits it.
int main(int argc, char** argv)
{
    // The working directory comes after the system's folders when a program
    // is looked for: a program found there is whatever lies where the user
    // stands.
    ::SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
    platform::RecordCommandLine(argc, argv);
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_lpCmdLine = platform::RecordedArguments();
    if (app->RunsHeadless()) {
        platform::SetHeadless(true);
        ConnectStandardStreams();
    }
    const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (app->InitInstance()) {
        MSG message;
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    const int exitCode = app->ExitInstance();
    std::fflush(stdout);
    return exitCode;
}
