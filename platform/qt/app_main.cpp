#include <QApplication>

#include "afx_app.h"
#include "app_internal.h"

// The framework's entry point: the program supplies only its application
// object, whose InitInstance runs the program.
int main(int argc, char** argv)
{
    platform::RecordCommandLine(argc, argv);
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_lpCmdLine = platform::RecordedArguments();
    // A run without a window must work where there is no display at all, so
    // the choice is made before the toolkit looks for one.
    if (app->RunsHeadless()) {
        platform::SetHeadless(true);
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The command line is the program's: Qt would act on "-reverse",
    // "-platform" or "-style" among them, so it gets the program name alone.
    // Its QT_* environment variables still serve.
    char programName[] = "quorvel";
    char* toolkitArguments[] = {argc > 0 && argv[0] ? argv[0] : programName, nullptr};
    int toolkitArgumentCount = 1;
    QApplication application(toolkitArgumentCount, toolkitArguments);
    if (app->InitInstance())
        QApplication::exec();
    return app->ExitInstance();
}
