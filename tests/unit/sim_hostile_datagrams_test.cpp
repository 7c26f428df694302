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
    EXPECT_GE(distinct.size(), 9u);  // seven kinds, random bytes differ per round
}

TEST(SimHostileDatagrams, GarbageIsReproducible)
{
    EXPECT_EQ(sim::GarbageDatagrams(8, kSearchTarget), sim::GarbageDatagrams(8, kSearchTarget));
    EXPECT_TRUE(sim::GarbageDatagrams(0, kSearchTarget).empty());
}

}  // namespace
