#pragma once

// The main dialog's test fixtures and helpers, shared by the tests that hold
// on both platforms and those of the Linux platform alone.

#include <filesystem>
#include <fstream>
#include <list>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialog_automation.h"
#include "dialog_harness.h"
#include "isolated_network.h"
#include "loopback_http_server.h"
#include "res/resource.h"
#include "test_environment.h"
#include "win_resource.h"

namespace main_dialog_test {

namespace fs = std::filesystem;

struct ShellRequest {
    std::string verb;
    std::string file;
    std::string parameters;
    bool operator==(const ShellRequest&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ShellRequest& request)
{
    return out << '{' << request.verb << ", " << request.file << ", " << request.parameters << '}';
}

inline RECT ControlRect(CQuorvelDlg& dialog, int id)
{
    RECT rect;
    dialog.GetDlgItem(id)->GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

// The temporary directory and the search path are the test's own; the
// shell's requests are recorded, not carried out.
class MainDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        directory = fs::temp_directory_path() / ("quorvel-dialog-test-" + std::to_string(CurrentProcessId()));
        fs::create_directories(directory / "bin");
        for (const std::string& name : kTemporaryDirectoryVariables)
            temporary.emplace_back(name, directory.string());
        path.emplace("PATH", (directory / "bin").string());
        platform::seams::SetShellHandler([this](const std::string& verb, const std::string& file,
                                                const std::string& parameters) {
            shell.push_back({verb, file, parameters});
            return 42;
        });
    }
    void TearDown() override
    {
        platform::seams::SetShellHandler({});
        path.reset();
        temporary.clear();
        fs::remove_all(directory);
    }

    void InstallViewer()
    {
        std::ofstream(Viewer()) << "#!/bin/sh\n";
        fs::permissions(Viewer(), fs::perms::owner_all);
    }
    fs::path Viewer() const { return directory / "bin" / kViewerFileName; }

    void Announce(CQuorvelDlg& dialog, const std::string& usn, const char* sender, LoopbackHttpServer& server)
    {
        harness.Receive(dialog, AliveNotify(usn, server.Url("d")), sender);
    }

    void Select(CQuorvelDlg& dialog, int row)
    {
        dialog.m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    fs::path directory;
    std::list<EnvironmentOverride> temporary;
    std::optional<EnvironmentOverride> path;
    std::vector<ShellRequest> shell;
    DialogHarness harness;
    LoopbackHttpServer server{DescriptionResponse("scale-7", "K3", "K3-100", "SN-0001",
                                                  "11111111-2222-3333-4444-555555555555", "http://10.77.1.20/")};
};

// Dialog units to pixels, rounded to the nearest as the template's author
// saw them; a truncating conversion loses a pixel on most edges. The system
// makes each control at its position with its size, each converted on its
// own.
inline int Pixels(int dialogUnits, int baseUnit, int unitsPerBase)
{
    return (2 * dialogUnits * baseUnit + unitsPerBase) / (2 * unitsPerBase);
}

inline void ExpectLaidOutIn(CQuorvelDlg& dialog, const DialogTemplate& layout, SIZE base)
{
    EXPECT_EQ(dialog.m_rcClient.Width(), Pixels(layout.cx, base.cx, 4));
    EXPECT_EQ(dialog.m_rcClient.Height(), Pixels(layout.cy, base.cy, 8));
    for (const DialogItemTemplate& item : std::span(layout.items, static_cast<size_t>(layout.itemCount))) {
        const RECT rect = ControlRect(dialog, static_cast<int>(item.id));
        EXPECT_EQ(rect.left, Pixels(item.x, base.cx, 4)) << item.id;
        EXPECT_EQ(rect.top, Pixels(item.y, base.cy, 8)) << item.id;
        const int width = Pixels(item.cx, base.cx, 4);
        if (item.controlClass == DialogControlClass::Static)
            EXPECT_GE(rect.right - rect.left, width) << "its text runs on " << item.id;
        else
            EXPECT_EQ(rect.right - rect.left, width) << item.id;
        EXPECT_EQ(rect.bottom - rect.top, Pixels(item.cy, base.cy, 8)) << item.id;
    }
}

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

inline const std::string kPageHead =
    "<HTML><HEAD><TITLE>Indicators</TITLE></HEAD><BODY MARGINWIDTH=\"0\" MARGINHEIGHT=\"0\" TOPMARGIN=\"0\" "
    "LEFTMARGIN=\"0\" BGCOLOR=\"#FFFFFF\"><table cellpadding=2 cellspacing=2 border=0 bgcolor=\"#DDDDDD\">";
inline const std::string kPageTail = "</table></BODY></HTML>";

inline std::string PageRows(const std::string& host, const std::string& address)
{
    return "<tr><th>" + host + "</th></tr><tr><td><APPLET CODEBASE=\"http://" + address +
           "/\" ARCHIVE=\"Indicator.jar\" CODE=\"Indicator.class\" WIDTH=300 HEIGHT=64></APPLET></td></tr>";
}

class KeyboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        platform::seams::SetShellHandler([this](const std::string&, const std::string& file, const std::string&) {
            opened.push_back(file);
            return 42;
        });
    }
    void TearDown() override { platform::seams::SetShellHandler({}); }

    DialogHarness harness;
    std::vector<std::string> opened;
};

}  // namespace main_dialog_test
