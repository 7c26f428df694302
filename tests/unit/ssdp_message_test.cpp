#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ssdp/ssdp_message.h"

namespace {

// Owns the text the message points into.
struct Parsed {
    explicit Parsed(const std::string& datagram) : text(datagram.begin(), datagram.end())
    {
        text.push_back('\0');
        ParseSsdpMessage(message, text.data());
    }
    std::string Header(const char* name) const
    {
        const char* value = GetHeader(message, name);
        return value ? value : "<none>";
    }
    std::vector<char> text;
    SsdpMessage message;
};

TEST(SsdpParserTest, SplitsStartLineHeadersAndBody)
{
    Parsed parsed("NOTIFY * HTTP/1.1\r\nNTS:ssdp:alive\r\nLOCATION: http://192.168.1.20:8080/desc.xml\r\n"
                  "cache-control:   max-age=1800  \r\nEXT\r\n\r\nbody text\r\nmore");
    EXPECT_STREQ(parsed.message.start_line, "NOTIFY * HTTP/1.1");
    EXPECT_EQ(parsed.Header("NTS"), "ssdp:alive");
    EXPECT_EQ(parsed.Header("LOCATION"), "http://192.168.1.20:8080/desc.xml");
    EXPECT_EQ(parsed.Header("CACHE-CONTROL"), "max-age=1800");
    EXPECT_EQ(parsed.Header("EXT"), "");
    EXPECT_STREQ(parsed.message.body, "body text\r\nmore");
}

TEST(SsdpParserTest, TrimsBlanksButNotTabsAndUpperCasesOnlyNames)
{
    Parsed parsed("HTTP/1.1 200 OK\r\n  st :\tValue Keeps Case\t \r\nUsN: uuid:AbC\r\n\r\n");
    EXPECT_EQ(parsed.Header("ST"), "\tValue Keeps Case\t");
    EXPECT_EQ(parsed.Header("USN"), "uuid:AbC");
    EXPECT_EQ(parsed.Header("usn"), "<none>");
}

TEST(SsdpParserTest, KeepsSixteenHeadersAndStillFindsTheBody)
{
    std::string datagram = "NOTIFY * HTTP/1.1\r\n";
    for (int i = 1; i <= 20; ++i)
        datagram.append("H").append(std::to_string(i)).append(": v").append(std::to_string(i)).append("\r\n");
    datagram += "\r\nthe body";
    Parsed parsed(datagram);
    EXPECT_EQ(parsed.Header("H16"), "v16");
    EXPECT_EQ(parsed.Header("H17"), "<none>");
    EXPECT_STREQ(parsed.message.body, "the body");
}

TEST(SsdpParserTest, FirstOccurrenceOfARepeatedHeaderCounts)
{
    Parsed parsed("NOTIFY * HTTP/1.1\r\nNT: first\r\nNT: second\r\n\r\n");
    EXPECT_EQ(parsed.Header("NT"), "first");
}

TEST(SsdpParserTest, WithoutAnEmptyLineThereIsNoBodyButAllHeaders)
{
    Parsed parsed("HTTP/1.1 200 OK\r\nST: a\r\nUSN: b");
    EXPECT_EQ(parsed.message.body, nullptr);
    EXPECT_EQ(parsed.Header("ST"), "a");
    EXPECT_EQ(parsed.Header("USN"), "b");
}

TEST(SsdpParserTest, LfOnlyDatagramIsOneStartLine)
{
    Parsed parsed("NOTIFY * HTTP/1.1\nNTS: ssdp:alive\n\n");
    EXPECT_STREQ(parsed.message.start_line, "NOTIFY * HTTP/1.1\nNTS: ssdp:alive\n\n");
    EXPECT_EQ(parsed.message.headers[0].name, nullptr);
    EXPECT_EQ(parsed.message.body, nullptr);
}

TEST(SsdpParserTest, EmptyDatagramHasNoStartLine)
{
    Parsed parsed("");
    EXPECT_EQ(parsed.message.start_line, nullptr);
    EXPECT_EQ(parsed.message.body, nullptr);
    EXPECT_EQ(GetHeader(parsed.message, "NT"), nullptr);
}

TEST(SsdpParserTest, StartLineIsNotTrimmed)
{
    Parsed parsed("HTTP/1.1 200 OK \r\n\r\n");
    EXPECT_STREQ(parsed.message.start_line, "HTTP/1.1 200 OK ");
    EXPECT_STRNE(parsed.message.start_line, "HTTP/1.1 200 OK");
}

TEST(SsdpParserTest, EmptyBodyAfterTheEmptyLineIsAnEmptyText)
{
    Parsed parsed("HTTP/1.1 200 OK\r\nA: b\r\n\r\n");
    ASSERT_NE(parsed.message.body, nullptr);
    EXPECT_STREQ(parsed.message.body, "");
}

TEST(SsdpParserTest, ReparsingClearsThePreviousMessage)
{
    Parsed first("NOTIFY * HTTP/1.1\r\nA: 1\r\nB: 2\r\n\r\nx");
    char second[] = "HTTP/1.1 200 OK\r\nC: 3";
    ParseSsdpMessage(first.message, second);
    EXPECT_EQ(GetHeader(first.message, "A"), nullptr);
    EXPECT_EQ(first.message.body, nullptr);
    EXPECT_STREQ(GetHeader(first.message, "C"), "3");
}

TEST(MSearchTest, MatchesTheGoldenBytes)
{
    std::ifstream golden(QUORVEL_GOLDEN_DIR "/m_search.txt", std::ios::binary);
    std::ostringstream expected;
    expected << golden.rdbuf();
    char buffer[1500];
    int length = ComposeMSearch(buffer, sizeof buffer, kSearchTarget);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(length)), expected.str());
    EXPECT_EQ(length, 88 + static_cast<int>(std::strlen(kSearchTarget)));
}

TEST(MSearchTest, RefusesATargetThatDoesNotFit)
{
    std::string huge(1500, 'x');
    char buffer[1500];
    EXPECT_EQ(ComposeMSearch(buffer, sizeof buffer, huge.c_str()), -1);
    std::string largest(1500 - 1 - 88, 'x');
    EXPECT_EQ(ComposeMSearch(buffer, sizeof buffer, largest.c_str()), 1499);
}

}  // namespace
