// The main dialog where the Linux platform has behaviour of its own: the
// dialog font follows the desktop's, screen readers hear Qt's accessibility
// interfaces, and the overview page in the shared temporary directory is
// guarded against what other users put there.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <iterator>

#include "main_dialog_fixture.h"

namespace {

using namespace main_dialog_test;
using platform::testing::ClickButton;

TEST_F(MainDialogTest, OverviewPageIsTheUsersAloneWhateverTheUmask)
{
    const fs::path page = directory / "Indicators.html";
    const fs::perms userAlone = fs::perms::owner_read | fs::perms::owner_write;
    harness.Run([&](CQuorvelDlg& dialog) {
        const mode_t umaskBefore = umask(0);
        ClickButton(&dialog, IDC_SHOW_SCALES);
        umask(umaskBefore);
        EXPECT_EQ(fs::status(page).permissions(), userAlone);
        fs::permissions(page, fs::perms::all);
        std::ifstream openedByOthers(page);
        Announce(dialog, "uuid:a", "10.77.1.20", server);
        ClickButton(&dialog, IDC_SHOW_SCALES);
        EXPECT_EQ(ReadFile(page), kPageHead + PageRows("scale-7", "10.77.1.20") + kPageTail);
        EXPECT_EQ(fs::status(page).permissions(), userAlone) << "an own page others could read is replaced";
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(openedByOthers), {}), kPageHead + kPageTail)
            << "who opened it while it was open to others does not read the new page";
    });
}

// The template's 8 points are for the usual 9-point desktop font; a larger
// desktop font makes the whole dialog larger.
TEST_F(MainDialogTest, ALargerDesktopFontMakesTheWholeDialogLarger)
{
    const DialogTemplate* layout = FindDialogResource(IDD_QUORVEL_DIALOG);
    ASSERT_NE(layout, nullptr);
    std::vector<SIZE> bases;
    std::vector<int> addressWidths;
    for (double desktopPoints : {9.0, 18.0}) {
        platform::testing::DesktopFontSize desktop(desktopPoints);
        harness.Run([&](CQuorvelDlg& dialog) {
            const SIZE base = platform::testing::DialogBaseUnits(&dialog);
            bases.push_back(base);
            addressWidths.push_back(dialog.m_list.GetColumnWidth(0));
            ExpectLaidOutIn(dialog, *layout, base);
        });
    }
    ASSERT_EQ(bases.size(), 2u);
    EXPECT_GE(bases[1].cy, bases[0].cy * 19 / 10) << "twice the desktop font";
    EXPECT_GE(bases[1].cx, bases[0].cx * 3 / 2);
    EXPECT_EQ(addressWidths[1], addressWidths[0] * 2) << "the columns follow";
}

TEST_F(MainDialogTest, OverviewPageIsNotWrittenThroughASymbolicLink)
{
    const fs::path victim = directory / "victim";
    std::ofstream(victim) << "keep";
    fs::create_symlink(victim, directory / "Indicators.html");
    harness.Run([&](CQuorvelDlg& dialog) { ClickButton(&dialog, IDC_SHOW_SCALES); });
    EXPECT_EQ(ReadFile(victim), "keep");
    EXPECT_TRUE(shell.empty());
    EXPECT_TRUE(harness.log.ContainsPrefix(">cannot write \"" + (directory / "Indicators.html").string() + "\": "));
}

// Whoever put something at the page's path first: the page is neither
// written into it (the reader of a FIFO, the owner of a file, the other
// name of a hard link would get or change it) nor opened.
TEST_F(MainDialogTest, OverviewPageIsWrittenOnlyIntoAFileOfTheUsersOwn)
{
    const fs::path page = directory / "Indicators.html";
    const fs::path victim = directory / "victim";
    int fifoReader = -1;
    const struct {
        const char* planted;
        std::function<void()> plant;
        std::function<bool()> untouched;
    } cases[] = {
        {"FIFO with a reader",
         [&] {
             ASSERT_EQ(mkfifo(page.c_str(), 0666), 0);
             fifoReader = open(page.c_str(), O_RDONLY | O_NONBLOCK);
         },
         [&] {
             char byte;
             return read(fifoReader, &byte, 1) <= 0;
         }},
        {"another user's file",
         [&] {
             std::ofstream(page) << "theirs";
             fs::permissions(page, fs::perms::all);
             ASSERT_EQ(chown(page.c_str(), 65534, 65534), 0);
         },
         [&] { return ReadFile(page) == "theirs"; }},
        {"hard link to an own file",
         [&] {
             std::ofstream(victim) << "keep";
             fs::create_hard_link(victim, page);
         },
         [&] { return ReadFile(victim) == "keep"; }},
    };
    for (const auto& [planted, plant, untouched] : cases) {
        fs::remove(page);
        plant();
        harness.Run([&](CQuorvelDlg& dialog) { ClickButton(&dialog, IDC_SHOW_SCALES); });
        EXPECT_TRUE(untouched()) << planted;
        EXPECT_TRUE(harness.log.Contains(">cannot write \"" + page.string() + "\": Operation not permitted")) << planted;
        EXPECT_TRUE(shell.empty()) << planted;
    }
    close(fifoReader);
}

TEST_F(KeyboardTest, EachFieldIsNamedByItsLabelAndTheListByItsOwnName)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        const std::pair<int, const char*> names[] = {{IDC_LIST, "Indicators"},
                                                     {IDC_MODEL_NAME, "Model name"},
                                                     {IDC_MODEL_NUMBER, "Model number"},
                                                     {IDC_SERIAL_NUMBER, "Serial number"},
                                                     {IDC_GUID, "GUID"},
                                                     {IDC_SEARCH, "Search"}};
        for (const auto& [id, name] : names)
            EXPECT_EQ(platform::testing::ControlAccessibility(&dialog, id).name, name) << id;
    });
}

TEST_F(KeyboardTest, TheFirstDownSelectsTheFirstRow)
{
    LoopbackHttpServer server(DescriptionResponse("scale-7", "K3"));
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify("uuid:a", server.Url("d")), "10.77.1.20");
        harness.Receive(dialog, AliveNotify("uuid:b", server.Url("d")), "10.77.1.21");
        ASSERT_TRUE(platform::testing::WaitUntilActive(&dialog));
        EXPECT_EQ(platform::testing::FocusAccessibility(&dialog).name, "Indicators") << "no row is current yet";
        platform::testing::PressKey(&dialog, platform::testing::Key::Down);
        EXPECT_EQ(dialog.m_list.GetNextItem(-1, LVNI_SELECTED), 0);
        EXPECT_EQ(platform::testing::FocusAccessibility(&dialog).name, "10.77.1.20");
    });
}

// Tab goes from the rows to the header, whose sections the arrows walk;
// Space or Enter sorts as a click does and opens nothing.
TEST_F(KeyboardTest, TheHeaderIsReachedWithTabAndSortsFromTheKeyboard)
{
    LoopbackHttpServer zeta(DescriptionResponse("zeta", "K3"));
    LoopbackHttpServer alpha(DescriptionResponse("alpha", "K3"));
    using platform::testing::Key;
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify("uuid:z", zeta.Url("d")), "10.77.1.20");
        harness.Receive(dialog, AliveNotify("uuid:a", alpha.Url("d")), "10.77.1.21");
        ASSERT_TRUE(platform::testing::WaitUntilActive(&dialog));
        platform::testing::PressKey(&dialog, Key::Tab);
        platform::testing::AccessibleFacts heard = platform::testing::FocusAccessibility(&dialog);
        EXPECT_EQ(heard.name, "IP-Addr");
        EXPECT_EQ(heard.actions, std::vector<std::string>{"click"});
        platform::testing::PressKey(&dialog, Key::Right);
        EXPECT_EQ(platform::testing::FocusAccessibility(&dialog).name, "Hostname");

        platform::testing::PressKey(&dialog, Key::Space);
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "alpha");
        heard = platform::testing::FocusAccessibility(&dialog);
        EXPECT_EQ(heard.name, "Hostname") << "the title is kept under the mark";
        EXPECT_EQ(heard.description, "sorted ascending");
        const platform::testing::AccessibleFacts cell =
            platform::testing::ListColumnHeaderAccessibility(&dialog.m_list, 1);
        EXPECT_EQ(cell.name, "Hostname");
        EXPECT_EQ(cell.description, "sorted ascending");

        platform::testing::PressKey(&dialog, Key::Enter);
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "zeta");
        EXPECT_EQ(platform::testing::FocusAccessibility(&dialog).description, "sorted descending");
        EXPECT_TRUE(dialog.IsWindowVisible());

        platform::testing::PressKey(&dialog, Key::Left);
        EXPECT_TRUE(platform::testing::DoFocusAction(&dialog, "click"));
        EXPECT_EQ(platform::testing::ListColumnHeaderAccessibility(&dialog.m_list, 0).description,
                  "sorted ascending");
        EXPECT_EQ(platform::testing::ListColumnHeaderAccessibility(&dialog.m_list, 1).description, "");
        platform::testing::PressKey(&dialog, Key::ShiftTab);
        EXPECT_EQ(platform::testing::FocusAccessibility(&dialog).name, "Indicators");
    });
    EXPECT_TRUE(opened.empty());
}

}  // namespace
