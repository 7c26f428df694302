#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "time_zone.h"
#include "ui/list_output.h"
#include "ui/watch_output.h"

namespace {

using namespace std::string_literals;

const char kDescription[] =
    "<root><device><modelName>QTS-420 Indicator</modelName><modelNumber>4.2.0</modelNumber>"
    "<serialNumber>QS001010-0001</serialNumber><UDN>uuid:0a4d010a-0001</UDN>"
    "<presentationURL>http://10.77.1.10:80/</presentationURL></device></root>";

ListedIndicator Listed(const std::string& hostname, const std::string& description = kDescription)
{
    return MakeListedIndicator({"10.77.1.10", hostname, "QTS-420 Indicator", "new ", "12:00:00"}, description);
}

TEST(ListedIndicatorTest, RowCellsThenDetailsFromTheDescription)
{
    EXPECT_EQ(Listed("alpha-1"), (ListedIndicator{"10.77.1.10", "alpha-1", "QTS-420 Indicator", "new ", "12:00:00",
                                                  "4.2.0", "QS001010-0001", "0a4d010a-0001",
                                                  "http://10.77.1.10:80/"}));
}

TEST(ListedIndicatorTest, DetailsMissingFromTheDescriptionAreEmpty)
{
    for (const std::string& description : {""s, "-outside network-"s, "???"s, "<UDN>0a4d</UDN><modelNumber>4"s}) {
        const ListedIndicator listed = Listed("x", description);
        for (size_t field = kRowCellCount; field < kListedFieldCount; ++field)
            EXPECT_EQ(listed[field], "") << description << " field " << field;
    }
}

TEST(ListTableTest, HeaderLineThenOneLinePerIndicator)
{
    EXPECT_EQ(FormatListTable({}),
              "IP-Addr\tHostname\tDevType\tStatus\tValid until\tModel number\tSerial number\tGUID\tPresentation URL\n");
    const std::string table = FormatListTable({Listed("alpha-1"), Listed("alpha-2")});
    EXPECT_NE(table.find("\n10.77.1.10\talpha-1\tQTS-420 Indicator\tnew \t12:00:00\t4.2.0\tQS001010-0001\t"
                         "0a4d010a-0001\thttp://10.77.1.10:80/\n10.77.1.10\talpha-2\t"),
              std::string::npos)
        << table;
}

TEST(ListTableTest, ControlCharactersInAFieldCannotBreakTheLineOrItsFields)
{
    const std::string table = FormatListTable({Listed("evil\thost\r\nname\x1b\x7f\0x"s)});
    const std::string line = table.substr(table.find('\n') + 1);
    EXPECT_EQ(line.substr(0, line.find('\t', 11) + 1), "10.77.1.10\tevil host  name   x\t");
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 8);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_EQ(line.back(), '\n');
}

TEST(ListJsonTest, AnArrayOfObjectsWithEveryFieldByName)
{
    EXPECT_EQ(FormatListJson({}), "[]\n");
    EXPECT_EQ(FormatListJson({Listed("alpha-1"), Listed("alpha-2", "")}),
              "[\n"
              "  {\"ip_addr\": \"10.77.1.10\", \"hostname\": \"alpha-1\", \"dev_type\": \"QTS-420 Indicator\", "
              "\"status\": \"new \", \"valid_until\": \"12:00:00\", \"model_number\": \"4.2.0\", "
              "\"serial_number\": \"QS001010-0001\", \"guid\": \"0a4d010a-0001\", "
              "\"presentation_url\": \"http://10.77.1.10:80/\"},\n"
              "  {\"ip_addr\": \"10.77.1.10\", \"hostname\": \"alpha-2\", \"dev_type\": \"QTS-420 Indicator\", "
              "\"status\": \"new \", \"valid_until\": \"12:00:00\", \"model_number\": \"\", "
              "\"serial_number\": \"\", \"guid\": \"\", \"presentation_url\": \"\"}\n"
              "]\n");
}

// The offset comes from %z as +hhmm; the line wants +hh:mm, west of UTC too.
TEST(WatchOutputTest, LocalTimeWithItsOffsetFromUtc)
{
    const std::string savedZone = std::getenv("TZ") ? std::getenv("TZ") : "";
    const struct {
        const char* zone;
        const char* expected;
    } cases[] = {
        {"UTC0", "2025-12-09T00:00:00+00:00"},
        {"IST-5:30", "2025-12-09T05:30:00+05:30"},
        {"NST3:30", "2025-12-08T20:30:00-03:30"},
    };
    for (const auto& [zone, expected] : cases) {
        UseTimeZone(zone);
        EXPECT_EQ(WatchTime(1765238400), expected) << zone;
    }
    UseTimeZone(savedZone);
}

TEST(WatchOutputTest, AnyFieldButValidUntilIsAChange)
{
    const ListedIndicator before = Listed("alpha-1");
    ListedIndicator later = before;
    later[4] = "12:30:00";
    EXPECT_FALSE(ChangedBeyondExpiry(before, later));
    for (size_t field : {size_t{1}, size_t{3}, size_t{6}}) {
        ListedIndicator changed = later;
        changed[field] += "x";
        EXPECT_TRUE(ChangedBeyondExpiry(before, changed)) << field;
    }
}

TEST(JsonStringTest, QuotesBackslashesAndControlCharactersAreEscaped)
{
    EXPECT_EQ(JsonString(""), "\"\"");
    EXPECT_EQ(JsonString("a\"b\\c/d"), R"("a\"b\\c/d")");
    EXPECT_EQ(JsonString("\b\f\n\r\t"), R"("\b\f\n\r\t")");
    EXPECT_EQ(JsonString("\0\x01\x1f\x7f"s), R"("\u0000\u0001\u001f\u007f")");
    EXPECT_EQ(JsonString("</script>"), "\"</script>\"");
}

TEST(JsonStringTest, WellFormedUtf8IsKept)
{
    for (const std::string& text : {"Wägezelle"s, "\u20ac 100 kg"s, "\xf0\x9f\x90\xb1"s, "\xef\xbf\xbf"s,
                                    "\xf4\x8f\xbf\xbf"s, "\xe0\xa0\x80"s})
        EXPECT_EQ(JsonString(text), "\"" + text + "\"") << text;
}

// A byte that is not part of well-formed UTF-8 is read as Latin-1, so the
// output stays valid UTF-8 and no byte is lost.
TEST(JsonStringTest, AnyOtherByteIsWrittenAsALatin1Escape)
{
    EXPECT_EQ(JsonString("W\xe4gezelle"), R"("W\u00e4gezelle")");
    EXPECT_EQ(JsonString("\xff\xfe"), R"("\u00ff\u00fe")");
    EXPECT_EQ(JsonString("\xc0\x80"), R"("\u00c0\u0080")") << "overlong NUL";
    EXPECT_EQ(JsonString("\xe0\x80\xaf"), R"("\u00e0\u0080\u00af")") << "overlong slash";
    EXPECT_EQ(JsonString("\xed\xa0\x80"), R"("\u00ed\u00a0\u0080")") << "surrogate";
    EXPECT_EQ(JsonString("\xf4\x90\x80\x80"), R"("\u00f4\u0090\u0080\u0080")") << "above U+10FFFF";
    EXPECT_EQ(JsonString("\xe2\x82"), R"("\u00e2\u0082")") << "cut off at the end";
    EXPECT_EQ(JsonString("\xe2\x82x\xe2\x82\xac"), "\"\\u00e2\\u0082x\xe2\x82\xac\"") << "cut off, then a whole one";
    EXPECT_EQ(JsonString("\x80"), R"("\u0080")") << "lone continuation byte";
}

}  // namespace
