#include <array>

#include <gtest/gtest.h>

#include "ui/command_line_switches.h"
#include "ui/dlg_item_resizer.h"
#include "ui/overview_page.h"

namespace {

TEST(SwitchTest, SlashAndDashFormsAnywhereButNeverLowerCase)
{
    EXPECT_TRUE(HasSwitch("/usr/bin/quorvel -X", "-X", 'X'));
    EXPECT_TRUE(HasSwitch("/usr/bin/quorvel /X", "/X", 'X'));
    EXPECT_TRUE(HasSwitch("quorvel /Xyz", "/Xyz", 'X'));
    EXPECT_TRUE(HasSwitch("/opt/Tools-V2/quorvel", "", 'V')) << "inside the program's own path";
    EXPECT_TRUE(HasSwitch("/opt/log/L/quorvel", "", 'L'));
    EXPECT_TRUE(HasSwitch(nullptr, "-L", 'L'));
    EXPECT_FALSE(HasSwitch("quorvel /x -v /l", "/x -v /l", 'X'));
    EXPECT_FALSE(HasSwitch("quorvel /x -v /l", "/x -v /l", 'V'));
    EXPECT_FALSE(HasSwitch("quorvel", nullptr, 'L'));
    EXPECT_FALSE(HasSwitch(nullptr, "/L", 'L')) << "the slash form is searched in the whole line only";
    for (char letter : {'X', 'L', 'V'})
        EXPECT_TRUE(HasSwitch("quorvel /V -L /X", "/V -L /X", letter)) << letter;
}

ResizerEntry Registered(int anchors) { return ResizerEntry{anchors, nullptr, 10, 20, 110, 60}; }

TEST(ResizerTest, GrowingMovesAndStretchesByTheAnchors)
{
    const RECT current{10, 20, 110, 60};
    const RECT stretched = PlaceAnchored(current, Registered(15), 100, 50);
    EXPECT_EQ((std::array{stretched.left, stretched.top, stretched.right, stretched.bottom}),
              (std::array<LONG, 4>{10, 20, 210, 110}));
    const RECT widened = PlaceAnchored(current, Registered(11), 100, 50);
    EXPECT_EQ((std::array{widened.left, widened.top, widened.right, widened.bottom}),
              (std::array<LONG, 4>{10, 70, 210, 110}));
    const RECT moved = PlaceAnchored(current, Registered(9), 100, 50);
    EXPECT_EQ((std::array{moved.left, moved.top, moved.right, moved.bottom}), (std::array<LONG, 4>{10, 70, 110, 110}));
}

TEST(ResizerTest, ShrinkingBelowTheReferenceMovesUpAndNarrows)
{
    const RECT current{10, 20, 110, 60};
    const RECT stretched = PlaceAnchored(current, Registered(15), -30, -15);
    EXPECT_EQ(stretched.right, 80);
    EXPECT_EQ(stretched.bottom, 45);
    const RECT moved = PlaceAnchored(current, Registered(9), -30, -15);
    EXPECT_EQ(moved.top, 5);
    EXPECT_EQ(moved.bottom, 45);
    EXPECT_EQ(moved.right - moved.left, 100);
}

TEST(ResizerTest, OneAnchorKeepsTheCurrentSizeAndNoneLeavesItAlone)
{
    const RECT changed{40, 30, 90, 50};  // changed by something else since registration
    const RECT leftOnly = PlaceAnchored(changed, Registered(ANCHOR_LEFT), 100, 50);
    EXPECT_EQ(leftOnly.left, 10);
    EXPECT_EQ(leftOnly.right, 60);
    EXPECT_EQ(leftOnly.top, 30);
    const RECT rightOnly = PlaceAnchored(changed, Registered(ANCHOR_RIGHT), 100, 50);
    EXPECT_EQ(rightOnly.right, 210);
    EXPECT_EQ(rightOnly.left, 160);
    const RECT none = PlaceAnchored(changed, Registered(0), 100, 50);
    EXPECT_EQ((std::array{none.left, none.top, none.right, none.bottom}), (std::array<LONG, 4>{40, 30, 90, 50}));
}

TEST(OverviewPageTest, EscapesEveryMarkupCharacter)
{
    EXPECT_EQ(EscapeHtml("<b>\"A&B\"</b> 'x'"), "&lt;b&gt;&quot;A&amp;B&quot;&lt;/b&gt; &#39;x&#39;");
    IndicatorRecord record;
    record.hostname = "<script>alert(1)</script>";
    record.address_text = "10.0.0.1\"><x";
    EXPECT_EQ(OverviewPageRows(record),
              "<tr><th>&lt;script&gt;alert(1)&lt;/script&gt;</th></tr><tr><td><APPLET CODEBASE=\"http://10.0.0.1"
              "&quot;&gt;&lt;x/\" ARCHIVE=\"Indicator.jar\" CODE=\"Indicator.class\" WIDTH=300 HEIGHT=64>"
              "</APPLET></td></tr>");
}

}  // namespace
