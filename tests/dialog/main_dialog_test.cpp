// The main dialog on both platforms: layout, the list's clicks, the details,
// the actions, the overview page, start-up, the minimised icon and the keys.

#include <cstdlib>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "main_dialog_fixture.h"
#include "standard_error_output.h"
#include "win_resource.h"

namespace {

using namespace main_dialog_test;
using platform::testing::ClickButton;
using platform::testing::IsControlEnabled;

TEST_F(MainDialogTest, GrowingTheDialogStretchesTheListAndMovesTheRowBelow)
{
    harness.app.m_switch_x = true;
    harness.Run([&](CQuorvelDlg& dialog) {
        const RECT list = ControlRect(dialog, IDC_LIST);
        const RECT search = ControlRect(dialog, IDC_SEARCH);
        const RECT guid = ControlRect(dialog, IDC_GUID);
        const RECT open = ControlRect(dialog, IDOK);
        const RECT backup = ControlRect(dialog, IDC_BACKUP);
        platform::testing::ResizeClient(&dialog, dialog.m_rcClient.Width() + 100, dialog.m_rcClient.Height() + 50);
        const RECT listAfter = ControlRect(dialog, IDC_LIST);
        EXPECT_EQ(listAfter.right - list.right, 100);
        EXPECT_EQ(listAfter.bottom - list.bottom, 50);
        EXPECT_EQ(listAfter.left, list.left);
        const RECT searchAfter = ControlRect(dialog, IDC_SEARCH);
        EXPECT_EQ(searchAfter.top - search.top, 50);
        EXPECT_EQ(searchAfter.left, search.left);
        EXPECT_EQ(searchAfter.right - searchAfter.left, search.right - search.left);
        const RECT guidAfter = ControlRect(dialog, IDC_GUID);
        EXPECT_EQ(guidAfter.right - guid.right, 100);
        EXPECT_EQ(guidAfter.top - guid.top, 50);
        EXPECT_EQ(ControlRect(dialog, IDOK).left, open.left) << "Open stays at its left position";
        EXPECT_EQ(ControlRect(dialog, IDC_BACKUP).top - backup.top, 50);
    });
}

TEST_F(MainDialogTest, HiddenButtonsStayHiddenAtEverySize)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        platform::testing::ResizeClient(&dialog, dialog.m_rcClient.Width() + 80, dialog.m_rcClient.Height() + 80);
        for (int id : {IDC_SHOW_SCALES, IDC_TELNET, IDC_BACKUP})
            EXPECT_FALSE(platform::testing::IsControlVisible(&dialog, id));
    });
}

TEST_F(MainDialogTest, TheDialogCannotBeMadeSmallerThanItWasLaidOut)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        const SIZE minimum = platform::testing::MinimumClientSize(&dialog);
        EXPECT_EQ(minimum.cx, dialog.m_rcClient.Width());
        EXPECT_EQ(minimum.cy, dialog.m_rcClient.Height());
        platform::testing::ResizeClient(&dialog, 50, 40);
        CRect client;
        dialog.GetClientRect(&client);
        EXPECT_EQ(client.Width(), dialog.m_rcClient.Width());
        EXPECT_EQ(client.Height(), dialog.m_rcClient.Height());
    });
}


TEST_F(MainDialogTest, TheTemplateIsLaidOutThroughTheFontsBaseUnits)
{
    const DialogTemplate* layout = FindDialogResource(IDD_QUORVEL_DIALOG);
    ASSERT_NE(layout, nullptr);
    harness.Run([&](CQuorvelDlg& dialog) {
        const SIZE base = platform::testing::DialogBaseUnits(&dialog);
        EXPECT_EQ(base.cy, 13) << "the 8-point interface face";
        ExpectLaidOutIn(dialog, *layout, base);
    });
}

TEST_F(MainDialogTest, ClickOnTheAddressSelectsAndElsewhereOnlyFocuses)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        Announce(dialog, "uuid:b", "10.77.1.30", server);
        platform::testing::ClickListCell(&dialog.m_list, 1, 0);
        EXPECT_EQ(dialog.GetSelectedRecord(), dialog.RecordAt(1));
        EXPECT_EQ(dialog.GetDlgItemText(IDC_SERIAL_NUMBER), "SN-0001");
        platform::testing::ClickListCell(&dialog.m_list, 1, 3);
        EXPECT_EQ(dialog.GetSelectedRecord(), nullptr);
        EXPECT_EQ(dialog.m_list.GetItemState(1, LVIS_FOCUSED), LVIS_FOCUSED);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_SERIAL_NUMBER), "---");
        EXPECT_FALSE(IsControlEnabled(&dialog, IDOK));
        platform::testing::ClickListCell(&dialog.m_list, 5, 0);  // below the last row
        EXPECT_EQ(dialog.GetSelectedRecord(), nullptr);
    });
}

// The row cut by the list's bottom edge takes a click on its shown part as
// any other row does.
TEST_F(MainDialogTest, TheRowCutByTheBottomEdgeTakesAClickOnItsStatus)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        CMyListCtrl& list = dialog.m_list;
        for (int n = 0; n < 20; ++n)
            Announce(dialog, "uuid:" + std::to_string(n), ("10.77.1." + std::to_string(40 + n)).c_str(), server);
        const int cut = list.GetTopIndex() + list.GetCountPerPage();
        RECT row;
        RECT client;
        list.GetItemRect(cut, &row, LVIR_BOUNDS);
        list.GetClientRect(&client);
        ASSERT_LT(row.top + 2, client.bottom) << "no row is cut by the bottom edge";
        POINT point = platform::testing::ListCellCentre(&list, cut, kColumnStatus);
        point.y = row.top + 2;
        platform::testing::PressMoveRelease(&list, point, point);
        EXPECT_EQ(list.GetItemState(cut, LVIS_FOCUSED), LVIS_FOCUSED);
        EXPECT_EQ(dialog.GetSelectedRecord(), nullptr);
    });
}

// A point in a list cell: fromLeft pixels right of the cell's left edge, or
// its centre; dy pixels below the middle.
constexpr int kCentre = -1;
struct Spot {
    int row;
    int column;
    int fromLeft = kCentre;
    int dy = 0;
};

POINT PointIn(CMyListCtrl& list, const Spot& spot)
{
    POINT point = platform::testing::ListCellCentre(&list, spot.row, spot.column);
    if (spot.fromLeft != kCentre)
        point.x += spot.fromLeft - list.GetColumnWidth(spot.column) / 2;
    point.y += spot.dy;
    return point;
}

struct Gesture {
    const char* name;
    bool scrolled;  // the list scrolled sideways first
    Spot press;
    Spot release;
    int selectedRow;  // -1: none
    int focusedRow;
};

// Each gesture starts with row 0 focused and nothing selected.
TEST_F(MainDialogTest, OnlyTheAddressColumnSelectsWhateverThePointerDoesMeanwhile)
{
    const Gesture gestures[] = {
        {"click on the status, moving 2 px", false, {1, kColumnStatus, 35}, {1, kColumnStatus, 37, 1}, -1, 1},
        {"press on the hostname, 1 px up", false, {1, kColumnHostname}, {1, kColumnHostname, 20, -1}, -1, 1},
        {"address pressed, released on the row above", false, {1, kColumnAddress}, {0, kColumnAddress}, 1, 1},
        {"status pressed, released on the address above", false, {1, kColumnStatus}, {0, kColumnAddress}, -1, 1},
        {"scrolled, address", true, {1, kColumnAddress, 60}, {1, kColumnAddress, 60}, 1, 1},
        {"scrolled, hostname by its left edge", true, {1, kColumnHostname, 3}, {1, kColumnHostname, 3}, -1, 1},
    };
    harness.Run([&](CQuorvelDlg& dialog) {
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        Announce(dialog, "uuid:b", "10.77.1.30", server);
        HDITEM wide;
        wide.mask = HDI_WIDTH;
        wide.cxy = 600;
        dialog.m_list.GetHeaderCtrl()->SetItem(kColumnValidUntil, &wide);
        CMyListCtrl& list = dialog.m_list;
        const int unscrolled = platform::testing::ListCellCentre(&list, 0, kColumnAddress).x;
        for (const Gesture& gesture : gestures) {
            list.SetItemState(0, LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            // Arrow clicks until a hit test blind to the scrolling would land
            // in another column; how far one click goes is the system's.
            int clicks = 0;
            while (gesture.scrolled && clicks < 50 &&
                   platform::testing::ListCellCentre(&list, 0, kColumnAddress).x >= unscrolled - 4) {
                platform::testing::ScrollListSideways(&list, 1);
                ++clicks;
            }
            if (gesture.scrolled) {
                ASSERT_LT(platform::testing::ListCellCentre(&list, 0, kColumnAddress).x, unscrolled - 4);
            }
            platform::testing::PressMoveRelease(&list, PointIn(list, gesture.press), PointIn(list, gesture.release));
            EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), gesture.selectedRow) << gesture.name;
            EXPECT_EQ(list.GetItemState(gesture.focusedRow, LVIS_FOCUSED), LVIS_FOCUSED) << gesture.name;
            platform::testing::ScrollListSideways(&list, -clicks);
        }
    });
}

TEST_F(MainDialogTest, BorderPixelBetweenColumnsBelongsToTheLeftOne)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        RECT bounds;
        dialog.m_list.GetItemRect(0, &bounds, LVIR_BOUNDS);
        const int border = bounds.left + dialog.m_list.GetColumnWidth(0);
        const int y = (bounds.top + bounds.bottom) / 2;
        int column = -1;
        EXPECT_EQ(dialog.m_list.HitTestColumn(POINT{border, y}, &column), 0);
        EXPECT_EQ(column, 0);
        EXPECT_EQ(dialog.m_list.HitTestColumn(POINT{border + 1, y}, &column), 0);
        EXPECT_EQ(column, 1);
        EXPECT_EQ(dialog.m_list.HitTestColumn(POINT{border, bounds.bottom + 40}, &column), -1);
    });
}

TEST_F(MainDialogTest, DetailsAndButtonsFollowTheSelection)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        EXPECT_TRUE(dialog.m_viewer_path.empty());
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_MODEL_NAME), "---");
        for (int id : {IDOK, IDC_PING, IDC_TELNET, IDC_BACKUP, IDC_VNC})
            EXPECT_FALSE(IsControlEnabled(&dialog, id)) << id;
        Select(dialog, 0);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_MODEL_NAME), "K3");
        EXPECT_EQ(dialog.GetDlgItemText(IDC_MODEL_NUMBER), "K3-100");
        EXPECT_EQ(dialog.GetDlgItemText(IDC_SERIAL_NUMBER), "SN-0001");
        EXPECT_EQ(dialog.GetDlgItemText(IDC_GUID), "11111111-2222-3333-4444-555555555555");
        for (int id : {IDOK, IDC_PING, IDC_TELNET, IDC_BACKUP})
            EXPECT_TRUE(IsControlEnabled(&dialog, id)) << id;
        EXPECT_FALSE(IsControlEnabled(&dialog, IDC_VNC)) << "no viewer was found";
    });
}

TEST_F(MainDialogTest, OutsideIndicatorShowsEmptyFieldsButStaysActionable)
{
    InstallViewer();
    harness.Run([&](CQuorvelDlg& dialog) {
        Announce(dialog, "uuid:far", "10.77.9.9", server);
        Select(dialog, 0);
        for (int id : {IDC_MODEL_NAME, IDC_MODEL_NUMBER, IDC_SERIAL_NUMBER, IDC_GUID})
            EXPECT_EQ(dialog.GetDlgItemText(id), "");
        for (int id : {IDOK, IDC_PING, IDC_TELNET, IDC_BACKUP, IDC_VNC})
            EXPECT_TRUE(IsControlEnabled(&dialog, id)) << id;
        ClickButton(&dialog, IDOK);
        ClickButton(&dialog, IDC_VNC);
    });
    EXPECT_EQ(shell, (std::vector<ShellRequest>{{"open", Viewer().string(), "10.77.9.9:1"}}));
}

TEST_F(MainDialogTest, EachActionMakesItsExactRequest)
{
    InstallViewer();
    harness.app.m_switch_x = true;
    LoopbackHttpServer noSlash(DescriptionResponse("s", "K3", "n", "s", "g", "http://10.77.1.30/index"));
    harness.Run([&](CQuorvelDlg& dialog) {
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        Announce(dialog, "uuid:b", "10.77.1.30", noSlash);
        for (int id : {IDOK, IDC_BACKUP, IDC_TELNET, IDC_VNC, IDC_PING})
            ClickButton(&dialog, id);
        EXPECT_TRUE(shell.empty()) << "nothing without a selection";
        Select(dialog, 0);
        for (int id : {IDOK, IDC_BACKUP, IDC_TELNET, IDC_VNC})
            ClickButton(&dialog, id);
        Select(dialog, 1);
        ClickButton(&dialog, IDC_BACKUP);
    });
    const std::string viewer = Viewer().string();
    EXPECT_EQ(shell, (std::vector<ShellRequest>{{"open", "http://10.77.1.20/", ""},
                                                {"open", "http://10.77.1.20/backup.html", ""},
                                                {"open", "telnet", "10.77.1.20"},
                                                {"open", viewer, "10.77.1.20:1"},
                                                {"open", "http://10.77.1.30/indexbackup.html", ""}}));
}

TEST_F(MainDialogTest, PingFetchesThePingPageAndShowsNothing)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        Select(dialog, 0);
        ClickButton(&dialog, IDC_PING);
    });
    EXPECT_TRUE(harness.log.Contains("GetUrl::TryConnect(http://10.77.1.20/ping)"));
    EXPECT_TRUE(shell.empty());
    EXPECT_TRUE(harness.boxes.calls().empty());
}

TEST_F(MainDialogTest, OnlyWebAddressesGoToTheShell)
{
    struct Page {
        const char* url;
        std::vector<ShellRequest> opened;
    };
    const Page pages[] = {
        {"file:///etc/passwd", {}},
        {"https://10.77.1.20/", {{"open", "https://10.77.1.20/", ""}, {"open", "https://10.77.1.20/backup.html", ""}}},
    };
    for (const Page& page : pages) {
        shell.clear();
        LoopbackHttpServer device(DescriptionResponse("s", "K3", "n", "s", "g", page.url));
        harness.Run([&](CQuorvelDlg& dialog) {
            Announce(dialog, "uuid:a", "10.77.1.20", device);
            Select(dialog, 0);
            ClickButton(&dialog, IDOK);
            ClickButton(&dialog, IDC_BACKUP);
        });
        EXPECT_EQ(shell, page.opened) << page.url;
    }
    EXPECT_TRUE(harness.log.Contains(">refusing to open \"file:///etc/passwd\": not a web address"));
    EXPECT_FALSE(harness.log.ContainsPrefix(">refusing to open \"https:"));
}

TEST_F(MainDialogTest, EnterOpensThePageAndNeverClosesTheDialog)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(dialog.IsWindowVisible());
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        Select(dialog, 0);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(dialog.IsWindowVisible());
    });
    EXPECT_EQ(shell, (std::vector<ShellRequest>{{"open", "http://10.77.1.20/", ""}}));
}

TEST_F(MainDialogTest, DoubleClickOpensOrStartsTheViewerOnlyOnARow)
{
    InstallViewer();
    for (bool switchV : {false, true}) {
        harness.app.m_switch_v = switchV;
        harness.Run([&](CQuorvelDlg& dialog) {
            Announce(dialog, "uuid:a", "10.77.1.20", server);
            platform::testing::DoubleClickListCell(&dialog.m_list, 0, 0);
            platform::testing::DoubleClickListCell(&dialog.m_list, 3, 0);  // below the last row
        });
    }
    EXPECT_EQ(shell, (std::vector<ShellRequest>{{"open", "http://10.77.1.20/", ""},
                                                {"open", Viewer().string(), "10.77.1.20:1"}}));
}

TEST_F(MainDialogTest, OverviewPageHoldsThePresentIndicatorsInRowOrder)
{
    LoopbackHttpServer noName(DescriptionResponse("", "K3"));
    LoopbackHttpServer html(DescriptionResponse("<b>&amp;", "K3"));
    const fs::path page = directory / "Indicators.html";
    harness.Run([&](CQuorvelDlg& dialog) {
        ClickButton(&dialog, IDC_SHOW_SCALES);
        EXPECT_EQ(ReadFile(page), kPageHead + kPageTail) << "an empty list gives an empty table";
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        ClickButton(&dialog, IDC_SHOW_SCALES);
        EXPECT_EQ(ReadFile(page), kPageHead + PageRows("scale-7", "10.77.1.20") + kPageTail);
        Announce(dialog, "uuid:gone", "10.77.1.40", server);
        harness.Receive(dialog, ByebyeNotify("uuid:gone"), "10.77.1.40");
        Announce(dialog, "uuid:noname", "10.77.1.50", noName);
        Announce(dialog, "uuid:far", "10.77.9.9", server);
        Announce(dialog, "uuid:html", "10.77.1.60", html);
        ClickButton(&dialog, IDC_SHOW_SCALES);
        EXPECT_EQ(ReadFile(page), kPageHead + PageRows("scale-7", "10.77.1.20") +
                                      PageRows("-outside network-", "10.77.9.9") +
                                      PageRows("&lt;b&gt;&amp;amp;", "10.77.1.60") + kPageTail);
    });
    ASSERT_EQ(shell.size(), 3u);
    EXPECT_EQ(shell[0], (ShellRequest{"open", page.string(), ""}));
}


TEST_F(MainDialogTest, ClosingFreesEveryRecordAndEndsTheDialog)
{
    CQuorvelDlg dialog;
    const INT_PTR result = platform::testing::RunDialog(dialog, [&] {
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

}  // namespace

namespace {

class StartUpTest : public testing::Test {
protected:
    void SetUp() override { REQUIRE_ISOLATED_NETWORK(); }
};

void RunApplicationShowingBoxes()
{
    DebugOutputToStandardError();
    platform::seams::SetMessageBoxHandler([](const std::string& text, const std::string&, UINT type) {
        std::fprintf(stderr, "BOX(%x):%s\n", type, text.c_str());
        return IDOK;
    });
    platform::testing::EnsureApplication();
    CQuorvelApp app;
    app.InitInstance();
    std::exit(0);
}

TEST_F(StartUpTest, MulticastSwitchedOffStopsBeforeTheDialogWithExitCode1)
{
    FakeMulticastSetting switchedOff(false);
    EXPECT_EXIT(RunApplicationShowingBoxes(), testing::ExitedWithCode(1),
                "BOX\\(2010\\):Multicast support is disabled on your system\nPlease contact your system "
                "administatur to enable IGMP");
}

TEST_F(StartUpTest, SwitchesAreReadFromTheCommandLineBeforeTheDialogRuns)
{
    FakeMulticastSetting switchedOn(true);
    DialogHarness harness;
    platform::testing::SetCommandLine({"/opt/Tools-V2/quorvel", "/Xyz", "-l"});
    harness.app.m_lpCmdLine = "/Xyz -l";
    bool shown = false;
    platform::testing::WhenDialogShown([&](CWnd* dialog) {
        shown = true;
        EXPECT_TRUE(platform::testing::IsControlVisible(dialog, IDC_SHOW_SCALES));
    });
    EXPECT_FALSE(harness.app.InitInstance());
    EXPECT_TRUE(shown);
    EXPECT_TRUE(harness.app.m_switch_x);
    EXPECT_TRUE(harness.app.m_switch_v);
    EXPECT_FALSE(harness.app.m_switch_l);
    platform::testing::SetCommandLine({"quorvel"});
}

}  // namespace

namespace {

class MinimisedDialogTest : public testing::Test {
protected:
    void SetUp() override { REQUIRE_ISOLATED_NETWORK(); }
    DialogHarness harness;
};

// The icon's display window is black with a green reading: its centre pixel
// row holds green only where the icon is drawn.
TEST_F(MinimisedDialogTest, PaintsTheIconCentredInTheClientArea)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        int width = 0;
        int height = 0;
        auto countGreen = [&] {
            int green = 0;
            for (uint32_t pixel : platform::testing::WindowPixels(&dialog, &width, &height))
                green += pixel == 0xFF00FF00u;
            return green;
        };
        EXPECT_EQ(countGreen(), 0) << "a normal window shows its controls";
        platform::testing::MinimizeWindow(&dialog);
        ASSERT_TRUE(dialog.IsIconic());
        const std::vector<uint32_t> pixels = platform::testing::WindowPixels(&dialog, &width, &height);
        const int left = (width - 32 + 1) / 2;
        const int top = (height - 32 + 1) / 2;
        EXPECT_EQ(pixels[static_cast<size_t>((top + 9) * width + left + 6)], 0xFF00FF00u);
        EXPECT_EQ(pixels[static_cast<size_t>((top + 7) * width + left + 4)], 0xFF000000u);
        EXPECT_GT(countGreen(), 10);
    });
}

}  // namespace

namespace {

TEST_F(KeyboardTest, EnterOpensTheSelectedIndicatorAndKeepsTheDialogOpen)
{
    LoopbackHttpServer server(DescriptionResponse("scale-7", "K3"));
    harness.Run([&](CQuorvelDlg& dialog) {
        platform::testing::PressKey(&dialog, platform::testing::Key::Enter);
        harness.Receive(dialog, AliveNotify("uuid:a", server.Url("d")), "10.77.1.20");
        dialog.m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        platform::testing::PressKey(&dialog, platform::testing::Key::Enter);
        EXPECT_TRUE(dialog.IsWindowVisible());
    });
    EXPECT_EQ(opened, std::vector<std::string>{"http://10.77.1.20/"});
}



TEST_F(KeyboardTest, EscapeAndAltF4EndTheDialog)
{
    for (auto key : {platform::testing::Key::Escape, platform::testing::Key::AltF4}) {
        CQuorvelDlg dialog;
        const INT_PTR result =
            platform::testing::RunDialog(dialog, [&] { platform::testing::PressKey(&dialog, key); });
        EXPECT_EQ(result, IDCANCEL);
    }
}

}  // namespace
