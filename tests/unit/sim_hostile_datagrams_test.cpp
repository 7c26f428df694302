#include <gtest/gtest.h>

#include <set>

#include "hostile_datagrams.h"
#include "sim_message_checks.h"
#include "ssdp/ssdp_message.h"
#include "ssdp_datagrams.h"

namespace {

TEST(SimHostileDatagrams, OversizeIsOneByteTooLongForADatagramBuffer)
{
    const std::string datagram = sim::OversizeDatagram(kSearchTarget);
    EXPECT_EQ(datagram.size(), static_cast<size_t>(sim::kMaxDatagram) + 1);
    // Looks like an announcement, so a receiver that truncates is tempted.
    sim_test::ParsedMessage message(datagram);
    EXPECT_EQ(message.StartLine(), "NOTIFY * HTTP/1.1");
    EXPECT_EQ(message.Header("NT"), kSearchTarget);
}

TEST(SimHostileDatagrams, GarbageIsMalformedInEveryKind)
{
    const std::vector<std::string> garbage = sim::GarbageDatagrams(15, kSearchTarget);
    ASSERT_EQ(garbage.size(), 15u);
    std::set<std::string> distinct;
    for (size_t i = 0; i < garbage.size(); ++i) {
        EXPECT_FALSE(garbage[i].empty()) << i;
        EXPECT_LE(garbage[i].size(), static_cast<size_t>(sim::kMaxDatagram)) << i;
        EXPECT_FALSE(sim_test::IsWellFormedSsdp(garbage[i])) << i;
        distinct.insert(garbage[i]);
    }
    EXPECT_GE(distinct.size(), 10u);  // nine kinds, random bytes differ per round
}

// Up to the first NUL the datagram is a complete announcement, so a receiver
// that reads it as C text accepts it; what follows the NUL never counts.
TEST(SimHostileDatagrams, NulHeadersKindIsACompleteAnnouncementBeforeTheNul)
{
    const std::string location = "http://10.77.1.10:80/description.xml";
    const std::string datagram = sim::GarbageDatagrams(8, kSearchTarget, location)[7];
    ASSERT_NE(datagram.find('\0'), std::string::npos);
    EXPECT_NE(datagram.find("line\nwithout\nCR\r\n"), std::string::npos);
    sim_test::ParsedMessage message(datagram.substr(0, datagram.find('\0')));
    EXPECT_EQ(message.StartLine(), "NOTIFY * HTTP/1.1");
    EXPECT_EQ(message.Header("NTS"), "ssdp:alive");
    EXPECT_EQ(message.Header("NT"), kSearchTarget);
    EXPECT_EQ(message.Header("LOCATION"), location);
    EXPECT_EQ(message.Header("USN"), std::string(sim::kNulHeadersUsn) + "::" + kSearchTarget);
    EXPECT_EQ(message.Header("CACHE-CONTROL"), "max-age=1800");
    EXPECT_EQ(message.Header("X-NOTE"), "line\nwithout\nCR");
    EXPECT_EQ(message.Header("SERVER"), "quorvel-sim");
}

// With LF-only header lines a CR LF reader sees one header holding them all.
TEST(SimHostileDatagrams, BareLfKindHidesEveryHeaderButTheFirst)
{
    const std::string datagram = sim::GarbageDatagrams(9, kSearchTarget)[8];
    EXPECT_NE(datagram.find(sim::kNowhereLocation), std::string::npos);
    EXPECT_NE(datagram.find(sim::kBareLfUsn), std::string::npos);
    sim_test::ParsedMessage message(datagram);
    EXPECT_EQ(message.StartLine(), "NOTIFY * HTTP/1.1");
    EXPECT_EQ(message.Header("HOST").rfind("239.255.255.250:1900\nCACHE-CONTROL", 0), 0u);
    EXPECT_FALSE(message.Has("NTS"));
    EXPECT_FALSE(message.Has("USN"));
    EXPECT_FALSE(message.HasBody());
}

TEST(SimHostileDatagrams, GarbageIsReproducible)
{
    EXPECT_EQ(sim::GarbageDatagrams(8, kSearchTarget), sim::GarbageDatagrams(8, kSearchTarget));
    EXPECT_TRUE(sim::GarbageDatagrams(0, kSearchTarget).empty());
}

}  // namespace
