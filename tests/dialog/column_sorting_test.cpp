#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialog_automation.h"
#include "dialog_harness.h"
#include "isolated_network.h"
#include "loopback_http_server.h"

namespace {

using platform::testing::ClickHeaderSection;

std::string Usn(const std::string& name) { return "uuid:" + name + "::urn:schemas-quorvel-com:device:indicator:1"; }

struct SectionImage {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF; }
    bool IsBlack(int x, int y) const { return At(x, y) == 0; }
    bool IsDark(int x, int y) const { return (At(x, y) & 0x808080) == 0; }
    int FirstDarkColumn(int from, int to) const
    {
        for (int x = from; x <= to; ++x) {
            for (int y = 0; y < height; ++y) {
                if (IsDark(x, y))
                    return x;
            }
        }
        return -1;
    }
    std::vector<uint32_t> PixelColumn(int x) const
    {
        std::vector<uint32_t> column;
        for (int y = 0; y < height; ++y)
            column.push_back(At(x, y));
        return column;
    }
    int DarkPixelsLeftOf(int limit) const
    {
        int count = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < limit && x < width; ++x)
                count += IsDark(x, y);
        }
        return count;
    }
};

// The outline's wide side lies on baseY from tw+4 to tw+12, its tip on tipY
// at tw+8 alone; nothing of it is filled or lies outside rows 4 to 12.
void ExpectTriangle(const SectionImage& image, int tw, int baseY, int tipY)
{
    ASSERT_GT(image.width, tw + 13);
    for (int x = tw + 4; x <= tw + 12; ++x)
        EXPECT_TRUE(image.IsBlack(x, baseY)) << "wide side at x " << x;
    EXPECT_TRUE(image.IsBlack(tw + 8, tipY));
    EXPECT_FALSE(image.IsBlack(tw + 6, tipY));
    EXPECT_FALSE(image.IsBlack(tw + 10, tipY));
    EXPECT_FALSE(image.IsBlack(tw + 8, 8)) << "outline only";
    for (int y : {3, 13}) {
        for (int x = tw + 3; x <= tw + 13; ++x)
            EXPECT_FALSE(image.IsBlack(x, y)) << x << "," << y;
    }
}

class ColumnSortingTest : public testing::Test {
protected:
    void SetUp() override { REQUIRE_ISOLATED_NETWORK(); }

    // Outside every local network: listed without fetching a description.
    void AnnounceOutside(CQuorvelDlg& dialog, const std::string& sender)
    {
        harness.Receive(dialog, AliveNotify(Usn(sender), "http://" + sender + "/d.xml"), sender.c_str());
    }

    void AnnounceNamed(CQuorvelDlg& dialog, const std::string& sender, const std::string& hostname,
                       const std::string& devType = "K3")
    {
        servers.push_back(std::make_unique<LoopbackHttpServer>(DescriptionResponse(hostname, devType)));
        harness.Receive(dialog, AliveNotify(Usn(sender), servers.back()->Url("d.xml")), sender.c_str());
    }

    void Click(CQuorvelDlg& dialog, int column) { ClickHeaderSection(&dialog.m_list, column); }

    std::vector<std::string> Column(CQuorvelDlg& dialog, int column) const
    {
        std::vector<std::string> cells;
        for (int row = 0; row < dialog.m_list.GetItemCount(); ++row)
            cells.push_back(harness.Cell(dialog, row, column));
        return cells;
    }

    std::vector<int> HeaderFormats(CQuorvelDlg& dialog) const
    {
        std::vector<int> formats;
        CHeaderCtrl* header = dialog.m_list.GetHeaderCtrl();
        for (int column = 0; column < header->GetItemCount(); ++column) {
            HDITEM item;
            item.mask = HDI_FORMAT;
            header->GetItem(column, &item);
            formats.push_back(item.fmt);
        }
        return formats;
    }

    // The header as it paints itself.
    SectionImage Header(CQuorvelDlg& dialog) const
    {
        SectionImage image;
        image.pixels =
            platform::testing::WindowPixels(dialog.m_list.GetHeaderCtrl(), &image.width, &image.height);
        return image;
    }

    SectionImage Mark(CQuorvelDlg& dialog, int column) const
    {
        SectionImage image;
        image.pixels = platform::testing::HeaderSectionPixels(&dialog.m_list, column, &image.width, &image.height);
        return image;
    }

    // The indicators of the host-name and device-type tests, none in order.
    void AnnounceNamedSet(CQuorvelDlg& dialog)
    {
        AnnounceNamed(dialog, "10.77.1.20", "alpha", "K3");
        AnnounceNamed(dialog, "10.77.1.21", "Zeta", "B1");
        AnnounceOutside(dialog, "10.77.2.9");
        AnnounceNamed(dialog, "10.77.1.22", "9-scale", "k2");
        AnnounceNamed(dialog, "10.77.1.23", "", "A7");
    }

    DialogHarness harness;
    std::vector<std::unique_ptr<LoopbackHttpServer>> servers;
};

using Cells = std::vector<std::string>;

// The header formats when only the column shows the mark.
std::vector<int> MarkedOnly(int column)
{
    std::vector<int> formats(5, HDF_STRING);
    formats[static_cast<size_t>(column)] = HDF_BITMAP;
    return formats;
}

TEST_F(ColumnSortingTest, AddressesSortAsNumbersAndASecondClickReverses)
{
    harness.UseInterfaces({FakeLoopback(), FakeInterface("192.168.1.1", "255.255.255.0", IFF_UP)});
    harness.Run([&](CQuorvelDlg& dialog) {
        AnnounceNamed(dialog, "192.168.1.10", "ten");
        AnnounceOutside(dialog, "192.168.0.1");
        AnnounceNamed(dialog, "192.168.1.9", "nine");
        AnnounceOutside(dialog, "10.0.0.1");
        Click(dialog, kColumnAddress);
        EXPECT_EQ(Column(dialog, kColumnAddress), (Cells{"10.0.0.1", "192.168.0.1", "192.168.1.9", "192.168.1.10"}));
        EXPECT_EQ(Column(dialog, kColumnHostname), (Cells{"-outside network-", "-outside network-", "nine", "ten"}))
            << "rows move whole";
        Click(dialog, kColumnAddress);
        EXPECT_EQ(Column(dialog, kColumnAddress), (Cells{"192.168.1.10", "192.168.1.9", "192.168.0.1", "10.0.0.1"}));
    });
}

TEST_F(ColumnSortingTest, HostNamesSortByteWiseAndEveryOtherColumnStartsAscending)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        AnnounceNamedSet(dialog);
        const Cells ascending = {"", "-outside network-", "9-scale", "Zeta", "alpha"};
        Click(dialog, kColumnHostname);
        EXPECT_EQ(Column(dialog, kColumnHostname), ascending);
        Click(dialog, kColumnHostname);
        EXPECT_EQ(Column(dialog, kColumnHostname), (Cells{ascending.rbegin(), ascending.rend()}));
        Click(dialog, kColumnAddress);
        EXPECT_EQ(Column(dialog, kColumnAddress),
                  (Cells{"10.77.1.20", "10.77.1.21", "10.77.1.22", "10.77.1.23", "10.77.2.9"}));
        Click(dialog, kColumnHostname);
        EXPECT_EQ(Column(dialog, kColumnHostname), ascending);
    });
}

TEST_F(ColumnSortingTest, DevTypeAlternatesAndStatusOrValidUntilChangeNothing)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        AnnounceNamedSet(dialog);
        const Cells ascending = {"(unknown)", "A7", "B1", "K3", "k2"};
        const Cells descending = {ascending.rbegin(), ascending.rend()};
        Click(dialog, kColumnDevType);
        EXPECT_EQ(Column(dialog, kColumnDevType), ascending);
        Click(dialog, kColumnDevType);
        EXPECT_EQ(Column(dialog, kColumnDevType), descending);
        const SectionImage mark = Mark(dialog, kColumnDevType);
        for (int column : {kColumnStatus, kColumnValidUntil, kColumnStatus}) {
            Click(dialog, column);
            EXPECT_EQ(Column(dialog, kColumnDevType), descending);
            EXPECT_EQ(HeaderFormats(dialog), MarkedOnly(kColumnDevType));
            EXPECT_EQ(Mark(dialog, kColumnDevType).pixels, mark.pixels);
        }
        Click(dialog, kColumnDevType);
        EXPECT_EQ(Column(dialog, kColumnDevType), ascending);
    });
}

TEST_F(ColumnSortingTest, LaterIndicatorsAreAppendedAndTheSelectionStaysWithItsRow)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        AnnounceOutside(dialog, "10.0.0.3");
        AnnounceOutside(dialog, "10.0.0.2");
        dialog.m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        IndicatorRecord* selected = dialog.GetSelectedRecord();
        Click(dialog, kColumnAddress);
        EXPECT_EQ(dialog.m_list.GetNextItem(-1, LVNI_SELECTED), 1);
        EXPECT_EQ(dialog.GetSelectedRecord(), selected);
        AnnounceOutside(dialog, "10.0.0.1");
        EXPECT_EQ(Column(dialog, kColumnAddress), (Cells{"10.0.0.2", "10.0.0.3", "10.0.0.1"}));

        // Answers of listed indicators find their rows where the sort put them.
        for (const char* sender : {"10.0.0.3", "10.0.0.1", "10.0.0.2"})
            AnnounceOutside(dialog, sender);
        EXPECT_EQ(Column(dialog, kColumnAddress), (Cells{"10.0.0.2", "10.0.0.3", "10.0.0.1"}));
        EXPECT_EQ(Column(dialog, kColumnStatus), (Cells{"online ", "online ", "online "}));
        int row = -1;
        EXPECT_EQ(dialog.FindRecord(Usn("10.0.0.3").c_str(), row), selected);
        EXPECT_EQ(row, 1);
        EXPECT_EQ(dialog.GetSelectedRecord(), selected);
    });
}

TEST_F(ColumnSortingTest, TheSortedColumnAloneShowsTheMarkPointingDownThenUp)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        EXPECT_EQ(HeaderFormats(dialog), std::vector<int>(5, HDF_STRING));
        const SectionImage plain = Header(dialog);
        Click(dialog, kColumnHostname);
        EXPECT_EQ(HeaderFormats(dialog), MarkedOnly(kColumnHostname));
        const SectionImage sorted = Header(dialog);
        const int left = dialog.m_list.GetColumnWidth(kColumnAddress);
        const int right = left + dialog.m_list.GetColumnWidth(kColumnHostname) - 1;
        EXPECT_EQ(sorted.FirstDarkColumn(left, right), plain.FirstDarkColumn(left, right))
            << "the title starts where the plain one did";
        EXPECT_EQ(sorted.PixelColumn(right - 4), plain.PixelColumn(right - 4)) << "the section's own shading";
        EXPECT_EQ(sorted.PixelColumn(right), plain.PixelColumn(right)) << "the divider";
        CRect headerClient;
        dialog.m_list.GetHeaderCtrl()->GetClientRect(&headerClient);
        SectionImage mark = Mark(dialog, kColumnHostname);
        EXPECT_EQ(mark.width, dialog.m_list.GetColumnWidth(kColumnHostname));
        EXPECT_EQ(mark.height, headerClient.Height());
        const int tw = dialog.m_list.GetStringWidth("Hostname");
        ExpectTriangle(mark, tw, 4, 12);
        EXPECT_GT(mark.DarkPixelsLeftOf(tw + 4), 0) << "the title";

        Click(dialog, kColumnHostname);
        ExpectTriangle(Mark(dialog, kColumnHostname), tw, 12, 4);

        Click(dialog, kColumnAddress);
        EXPECT_EQ(HeaderFormats(dialog), MarkedOnly(kColumnAddress));
        EXPECT_TRUE(Mark(dialog, kColumnHostname).pixels.empty());
    });
}

TEST_F(ColumnSortingTest, OnADarkDesktopTheMarkIsDrawnInTheHeadersOwnTextColour)
{
    platform::testing::DarkDesktop desktop;
    harness.Run([&](CQuorvelDlg& dialog) {
        AnnounceNamedSet(dialog);
        Click(dialog, kColumnHostname);
        const SectionImage mark = Mark(dialog, kColumnHostname);
        const int tw = dialog.m_list.GetStringWidth("Hostname");
        ASSERT_GT(mark.width, tw + 12);
        EXPECT_EQ(mark.At(0, 0), 0x353535u) << "the header's face";
        EXPECT_EQ(mark.At(tw + 8, 4), 0xFFFFFFu) << "the triangle";
        int light = 0;
        for (int y = 0; y < mark.height; ++y) {
            for (int x = 0; x < tw; ++x)
                light += (mark.At(x, y) & 0x808080) == 0x808080;
        }
        EXPECT_GT(light, 10) << "the title";
    });
}

TEST_F(ColumnSortingTest, AColumnOf32PixelsOrLessShowsTheTriangleWithoutItsTitle)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        CHeaderCtrl* header = dialog.m_list.GetHeaderCtrl();
        char title[] = "X";
        HDITEM item;
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = title;
        item.cxy = 32;
        header->SetItem(kColumnDevType, &item);
        const int tw = dialog.m_list.GetStringWidth(title);

        Click(dialog, kColumnDevType);
        const SectionImage narrow = Mark(dialog, kColumnDevType);
        ASSERT_EQ(narrow.width, 32);
        ExpectTriangle(narrow, tw, 4, 12);
        EXPECT_EQ(narrow.DarkPixelsLeftOf(tw + 4), 0);

        item.mask = HDI_WIDTH;
        item.cxy = 60;
        header->SetItem(kColumnDevType, &item);
        Click(dialog, kColumnDevType);
        const SectionImage wide = Mark(dialog, kColumnDevType);
        ExpectTriangle(wide, tw, 12, 4);
        EXPECT_GT(wide.DarkPixelsLeftOf(tw + 4), 0) << "a wider column shows its title";
    });
}

// The comparison is reached as the list reaches it, through a pointer.
struct RecordComparison : CQuorvelDlg {
    using CQuorvelDlg::CompareRecords;
};

int Compare(const IndicatorRecord& first, const IndicatorRecord& second, LPARAM state)
{
    return RecordComparison::CompareRecords(reinterpret_cast<LPARAM>(&first), reinterpret_cast<LPARAM>(&second), state);
}

IndicatorRecord Named(const std::string& hostname, const std::string& devType = "", const char* address = "0.0.0.0")
{
    IndicatorRecord record;
    record.hostname = hostname;
    record.dev_type = devType;
    record.address = inet_addr(address);
    return record;
}

TEST(CompareRecords, TextsCompareAsUnsignedBytesPrefixFirstGivingOnlyTheSign)
{
    EXPECT_EQ(Compare(Named(""), Named("a"), kColumnHostname), -1);
    EXPECT_EQ(Compare(Named("scale"), Named("scale-1"), kColumnHostname), -1);
    EXPECT_EQ(Compare(Named("Zeta"), Named("alpha"), kColumnHostname), -1);
    EXPECT_EQ(Compare(Named("z"), Named("\xC3\xA9t\xC3\xA9"), kColumnHostname), -1) << "bytes above 0x7F come last";
    EXPECT_EQ(Compare(Named("z"), Named("a"), kColumnHostname), 1);
    EXPECT_EQ(Compare(Named("same"), Named("same"), kColumnHostname), 0);
    EXPECT_EQ(Compare(Named("b", "A"), Named("a", "B"), kColumnDevType), -1);
}

TEST(CompareRecords, AddressesCompareAsUnsignedHostOrderNumbers)
{
    EXPECT_EQ(Compare(Named("", "", "9.255.255.255"), Named("", "", "10.0.0.1"), kColumnAddress), -1);
    EXPECT_EQ(Compare(Named("", "", "200.0.0.1"), Named("", "", "100.0.0.1"), kColumnAddress), 1);
    EXPECT_EQ(Compare(Named("", "", "10.0.0.1"), Named("", "", "10.0.0.1"), kColumnAddress), 0);
}

TEST(CompareRecords, DescendingExchangesTheRecordsAndOtherColumnsAreEqual)
{
    const IndicatorRecord first = Named("a", "B", "10.0.0.2");
    const IndicatorRecord second = Named("b", "A", "10.0.0.1");
    for (int column : {kColumnAddress, kColumnHostname, kColumnDevType})
        EXPECT_EQ(Compare(first, second, ~column), Compare(second, first, column)) << column;
    for (LPARAM state : {3, 4, ~3, 99})
        EXPECT_EQ(Compare(first, second, state), 0) << state;
}

}  // namespace
