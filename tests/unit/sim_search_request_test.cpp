#include <gtest/gtest.h>

#include "search_request.h"
#include "ssdp/ssdp_message.h"

namespace {

std::string ProgramSearch(const char* target)
{
    char buffer[512];
    const int length = ComposeMSearch(buffer, sizeof buffer, target);
    EXPECT_GT(length, 0);
    return std::string(buffer, static_cast<size_t>(length));
}

std::string Search(const std::string& headers)
{
    return "M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\n" + headers + "\r\n";
}

TEST(SimSearchRequest, ProgramsSearchForIndicatorsIsAnswered)
{
    const auto request = sim::ParseSearchRequest(ProgramSearch(kSearchTarget));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->search_target, kSearchTarget);
    EXPECT_EQ(request->mx, 100);
    EXPECT_TRUE(sim::ShouldAnswer(*request, kSearchTarget));
}

TEST(SimSearchRequest, OnlyOwnTypeOrAllIsAnswered)
{
    const std::string own = "urn:other-org:device:thing:2";
    EXPECT_TRUE(sim::ShouldAnswer(*sim::ParseSearchRequest(ProgramSearch("ssdp:all")), own));
    EXPECT_TRUE(sim::ShouldAnswer(*sim::ParseSearchRequest(ProgramSearch(own.c_str())), own));
    EXPECT_FALSE(sim::ShouldAnswer(*sim::ParseSearchRequest(ProgramSearch(kSearchTarget)), own));
    EXPECT_FALSE(sim::ShouldAnswer(*sim::ParseSearchRequest(ProgramSearch("upnp:rootdevice")), own));
    EXPECT_FALSE(sim::ShouldAnswer(*sim::ParseSearchRequest(Search("MX: 1\r\n")), own));  // no ST
}

TEST(SimSearchRequest, HeaderNamesAreCaseInsensitive)
{
    const auto request = sim::ParseSearchRequest(Search("st: ssdp:all\r\nmx: 3\r\n"));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->search_target, "ssdp:all");
    EXPECT_EQ(request->mx, 3);
}

TEST(SimSearchRequest, OtherDatagramsAreNoSearch)
{
    for (const std::string& datagram :
         {std::string(), std::string("NOTIFY * HTTP/1.1\r\nNT: ssdp:all\r\n\r\n"),
          std::string("HTTP/1.1 200 OK\r\nST: ssdp:all\r\n\r\n"), std::string("M-SEARCH * HTTP/1.1\nST: ssdp:all\n\n"),
          std::string("m-search * HTTP/1.1\r\nST: ssdp:all\r\n\r\n")})
        EXPECT_FALSE(sim::ParseSearchRequest(datagram)) << datagram;
}

TEST(SimSearchRequest, UnreadableMxMeansNoWait)
{
    for (const char* mx : {"MX: abc\r\n", "MX: -3\r\n", "MX: 2x\r\n", ""})
        EXPECT_EQ(sim::ParseSearchRequest(Search(std::string("ST: ssdp:all\r\n") + mx))->mx, 0) << mx;
}

TEST(SimSearchRequest, DelayIsBoundedByMxAndCap)
{
    EXPECT_EQ(sim::MaxAnswerDelayMs({"ssdp:all", 100}, 0), 0);
    EXPECT_EQ(sim::MaxAnswerDelayMs({"ssdp:all", 100}, 3), 3000);
    EXPECT_EQ(sim::MaxAnswerDelayMs({"ssdp:all", 2}, 5), 2000);
    EXPECT_EQ(sim::MaxAnswerDelayMs({"ssdp:all", 0}, 5), 0);
}

}  // namespace
