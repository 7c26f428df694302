// Runs the real main dialog (offscreen) for the lab tests and writes its
// indicator list to a file whenever the list changes, one row per line with
// the five cells separated by tabs, so that tests read the list itself.
//
//   quorvel-list-watcher OUTPUT SECONDS [switches...]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "afx_socket.h"
#include "list_snapshot.h"
#include "platform_seams.h"
#include "platform_testing.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT SECONDS [switches...]\n", argv[0]);
        return 2;
    }
    const std::string output = argv[1];
    const int seconds = std::atoi(argv[2]);
    std::vector<std::string> commandLine = {argv[0]};
    for (int i = 3; i < argc; ++i)
        commandLine.emplace_back(argv[i]);
    platform::testing::SetCommandLine(commandLine);
    platform::testing::EnsureApplication();
    platform::seams::SetMessageBoxHandler([](const std::string& text, const std::string&, UINT) {
        std::fprintf(stderr, "BOX:%s\n", text.c_str());
        return IDOK;
    });
    AfxSocketInit();
    CQuorvelApp app;
    CQuorvelDlg dialog;
    WriteAtomically(output, "");
    platform::testing::RunDialog(dialog, [&] {
        std::string last;
        for (int tick = 0; tick < seconds * 10; ++tick) {
            platform::testing::PumpFor(100);
            std::string now = Snapshot(dialog);
            if (now != last)
                WriteAtomically(output, now);
            last = now;
        }
    });
    return 0;
}
