#include <QApplication>

#include "afx_app.h"
#include "app_internal.h"

// The framework's entry point: the program supplies only its application
// object, whose InitInstance runs the program.
int main(int argc, char** argv)
{
    platform::RecordCommandLine(argc, argv);
    QApplication application(argc, argv);
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_lpCmdLine = platform::RecordedArguments();
    if (app->InitInstance())
        QApplication::exec();
    return app->ExitInstance();
}
