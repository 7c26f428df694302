#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_interfaces.h"
#include "isolated_network.h"
#include "platform_seams.h"
#include "platform_testing.h"
#include "standard_error_output.h"
#include "res/resource.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"

namespace {

using platform::testing::DebugOutputRecorder;
using platform::testing::MessageBoxRecorder;
using platform::testing::RunDialog;

class NetworkStartupTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        platform::testing::EnsureApplication();
    }
    void TearDown() override { platform::seams::SetInterfaceListSource({}); }

    void UseInterfaces(std::vector<INTERFACE_INFO> interfaces)
    {
        platform::seams::SetInterfaceListSource([interfaces](std::vector<INTERFACE_INFO>& list) {
            list = interfaces;
            return true;
        });
    }

    CQuorvelApp app;
    DebugOutputRecorder log;
    MessageBoxRecorder boxes;
};

// Runs the dialog in a child process and shows its message boxes on standard
// error, so that the parent can match them with the log lines.
void RunDialogShowingBoxes()
{
    DebugOutputToStandardError();
    platform::seams::SetMessageBoxHandler([](const std::string& text, const std::string&, UINT) {
        std::fprintf(stderr, "BOX:%s\n", text.c_str());
        return IDOK;
    });
    CQuorvelDlg dialog;
    RunDialog(dialog, [] {});
}

TEST_F(NetworkStartupTest, LoopbackOnlyStopsWithTheNoInterfacesMessageAndExitCode1)
{
    UseInterfaces({FakeLoopback()});
    EXPECT_EXIT(RunDialogShowingBoxes(), testing::ExitedWithCode(1),
                "Found Interface 0 : 127.0.0.1/255.0.0.0 IFF_LOOPBACK\\s+"
                "BOX:Found no connected interfaces!\\s+Please connect a network before starting Quorvel");
}

TEST_F(NetworkStartupTest, UnreadableInterfaceListStopsWithExitCode1)
{
    platform::seams::SetInterfaceListSource([](std::vector<INTERFACE_INFO>&) { return false; });
    EXPECT_EXIT(RunDialogShowingBoxes(), testing::ExitedWithCode(1), "BOX:m_ssdp_socket.SIO_GET_INTERFACE_LIST failed");
}

// The loopback test comes first: a loopback that is down is still IFF_LOOPBACK.
TEST_F(NetworkStartupTest, DownInterfaceIsLoggedWithItsIndexAndNotStored)
{
    UseInterfaces({FakeInterface("127.0.0.1", "255.0.0.0", IFF_LOOPBACK), FakeInterface("10.77.1.5", "255.255.255.0", 0),
                   FakeInterface("10.77.2.5", "255.255.255.0", IFF_UP)});
    CQuorvelDlg dialog;
    RunDialog(dialog, [&] {
        EXPECT_EQ(dialog.m_interface_count, 1u);
        EXPECT_EQ(dialog.m_interfaces[0].iiAddress.AddressIn.sin_addr.s_addr, inet_addr("10.77.2.5"));
    });
    EXPECT_TRUE(log.Contains("Found Interface 0 : 127.0.0.1/255.0.0.0 IFF_LOOPBACK"));
    EXPECT_TRUE(log.Contains("Found Interface 1 : 10.77.1.5/255.255.255.0 DOWN"));
    EXPECT_TRUE(log.Contains("Found Interface 2 : 10.77.2.5/255.255.255.0 as#1 UP"));
}

TEST_F(NetworkStartupTest, TwoUsableInterfacesAreNumbered1And2AndTheLastSetsTheOutput)
{
    UseInterfaces({FakeInterface("10.77.1.5", "255.255.255.0", IFF_UP),
                   FakeInterface("10.77.2.5", "255.255.0.0", IFF_UP)});
    CQuorvelDlg dialog;
    RunDialog(dialog, [&] { EXPECT_EQ(dialog.m_interface_count, 2u); });
    EXPECT_TRUE(log.Contains("Found Interface 0 : 10.77.1.5/255.255.255.0 as#1 UP"));
    EXPECT_TRUE(log.Contains("Found Interface 1 : 10.77.2.5/255.255.0.0 as#2 UP"));
    std::vector<std::string> outputs;
    for (const std::string& line : log.lines()) {
        if (line.rfind("CSsdpSocket::SetMulticastInterface(", 0) == 0)
            outputs.push_back(line.substr(line.find(',') + 1));
    }
    EXPECT_EQ(outputs, (std::vector<std::string>{"10.77.1.5)", "10.77.1.5)", "10.77.2.5)", "10.77.2.5)"}));
}

// The last usable interface (the default route's) carries the searches, so
// the cut leaves out those before it.
TEST_F(NetworkStartupTest, InterfacesBeyondSixteenAreLoggedAndLeftOutButNotTheLastUsable)
{
    std::vector<INTERFACE_INFO> interfaces;
    for (int i = 1; i <= 18; ++i)
        interfaces.push_back(FakeInterface("10.77." + std::to_string(i) + ".5", "255.255.255.0", IFF_UP));
    // The last usable one as the very last entry, and before a DOWN one.
    for (bool downLast : {false, true}) {
        if (downLast)
            interfaces.push_back(FakeInterface("10.77.19.5", "255.255.255.0", 0));
        UseInterfaces(interfaces);
        CQuorvelDlg dialog;
        RunDialog(dialog, [&] {
            ASSERT_EQ(dialog.m_interface_count, 16u);
            EXPECT_EQ(dialog.m_interfaces[15].iiAddress.AddressIn.sin_addr.s_addr, inet_addr("10.77.18.5"))
                << (downLast ? "before a DOWN interface" : "as the last entry");
        });
    }
    EXPECT_TRUE(log.Contains("Found Interface 14 : 10.77.15.5/255.255.255.0 as#15 UP"));
    EXPECT_TRUE(log.Contains(">Found Interface 15 : 10.77.16.5/255.255.255.0 UP, not used: more than 16 interfaces"));
    EXPECT_TRUE(log.Contains(">Found Interface 16 : 10.77.17.5/255.255.255.0 UP, not used: more than 16 interfaces"));
    EXPECT_TRUE(log.Contains("Found Interface 17 : 10.77.18.5/255.255.255.0 as#16 UP"));
    EXPECT_TRUE(log.Contains("Found Interface 18 : 10.77.19.5/255.255.255.0 DOWN"));
}

TEST_F(NetworkStartupTest, FirstLinesAreTheCaptionAndTheClientSize)
{
    UseInterfaces({FakeInterface("127.0.0.1", "255.0.0.0", IFF_UP)});
    CQuorvelDlg dialog;
    RunDialog(dialog, [&] {
        CRect client;
        dialog.GetClientRect(&client);
        ASSERT_GE(log.lines().size(), 2u);
        EXPECT_EQ(log.lines()[0], "Quorvel 01.60.00 309220 2017-11-17-11:39:51");
        EXPECT_EQ(log.lines()[1], "OnInitDialog():m_rcClient=" + std::to_string(client.Width()) + "," +
                                      std::to_string(client.Height()));
        EXPECT_EQ(dialog.GetWindowText(), "Quorvel 01.60.00 309220 2017-11-17-11:39:51");
    });
}

TEST_F(NetworkStartupTest, WhenShownNoSearchHasGoneYetAndOpenIsDisabled)
{
    UseInterfaces({FakeInterface("127.0.0.1", "255.0.0.0", IFF_UP)});
    CQuorvelDlg dialog;
    RunDialog(dialog, [&] {
        EXPECT_EQ(dialog.m_discover_left, 4);
        EXPECT_FALSE(log.ContainsPrefix("SendDiscover:SentTo("));
        EXPECT_FALSE(platform::testing::IsControlEnabled(&dialog, IDOK));
        EXPECT_TRUE(log.Contains("SetTimer(MY_DISCOVER_ID)"));
    });
}

TEST_F(NetworkStartupTest, ExtraButtonsAreHiddenWithoutTheXSwitch)
{
    UseInterfaces({FakeInterface("127.0.0.1", "255.0.0.0", IFF_UP)});
    for (bool switchX : {false, true}) {
        app.m_switch_x = switchX;
        CQuorvelDlg dialog;
        RunDialog(dialog, [&] {
            for (int id : {IDC_SHOW_SCALES, IDC_TELNET, IDC_BACKUP})
                EXPECT_EQ(platform::testing::IsControlVisible(&dialog, id), switchX) << id;
            EXPECT_TRUE(platform::testing::IsControlVisible(&dialog, IDC_PING));
        });
    }
}

}  // namespace
