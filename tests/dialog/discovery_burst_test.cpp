#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "dialog_harness.h"
#include "isolated_network.h"
#include "res/resource.h"

namespace {

using platform::testing::PumpUntil;

constexpr const char kNothingCameBack[] =
    "Did not receive my own search queries!\nMaybe sending UPnP Broadcast is blocked on your PC?";

class DiscoveryBurstTest : public testing::Test {
protected:
    void SetUp() override { REQUIRE_ISOLATED_NETWORK(); }

    size_t Lines(const std::string& prefix) const
    {
        size_t count = 0;
        for (const std::string& line : harness.log.lines())
            count += line.rfind(prefix, 0) == 0;
        return count;
    }
    bool WaitForBurstEnd(size_t ends = 1)
    {
        return PumpUntil([&] { return Lines("KillTimer(MY_DISCOVER_ID)") >= ends; }, 5000);
    }

    DialogHarness harness;
};

// The searches leave through the loopback interface of the test's private
// network and come back from 127.0.0.1, which is no address of the
// program's own here: nothing that counts comes back.
TEST_F(DiscoveryBurstTest, SendsFourSearchesAndTellsOnceWhenNothingCameBack)
{
    harness.Run([&](CQuorvelDlg&) {
        ASSERT_TRUE(WaitForBurstEnd());
        platform::testing::PumpFor(300);
    });
    EXPECT_EQ(Lines("SendDiscover:SentTo("), 4u);
    EXPECT_EQ(Lines("OnTimer(MY_DISCOVER_ID)"), 5u);
    ASSERT_EQ(harness.boxes.calls().size(), 1u);
    EXPECT_EQ(harness.boxes.calls()[0].text, kNothingCameBack);
    EXPECT_EQ(harness.boxes.calls()[0].type & MB_ICONMASK, MB_ICONQUESTION);
}

TEST_F(DiscoveryBurstTest, OwnSearchComingBackMeansNoBox)
{
    harness.UseInterfaces({FakeInterface("127.0.0.1", "255.0.0.0", IFF_UP)});
    harness.Run([&](CQuorvelDlg& dialog) {
        ASSERT_TRUE(WaitForBurstEnd());
        EXPECT_GE(dialog.m_own_received, 1);
    });
    EXPECT_TRUE(harness.boxes.calls().empty());
    EXPECT_GE(Lines("Receive from myself at 127.0.0.1"), 1u);
}

TEST_F(DiscoveryBurstTest, AnAnswerDuringTheBurstMeansNoBox)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, SearchAnswer("uuid:a", "http://127.0.0.1:1/d"), "10.77.1.20");
        ASSERT_TRUE(WaitForBurstEnd());
    });
    EXPECT_TRUE(harness.boxes.calls().empty());
}

TEST_F(DiscoveryBurstTest, SearchDuringABurstRestartsIt)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        ASSERT_TRUE(PumpUntil([&] { return Lines("SendDiscover:SentTo(") >= 2; }, 3000));
        platform::testing::ClickButton(&dialog, IDC_SEARCH);
        EXPECT_EQ(dialog.m_discover_left, 4);
        ASSERT_TRUE(WaitForBurstEnd());
        platform::testing::PumpFor(300);
    });
    EXPECT_EQ(Lines("SendDiscover:SentTo("), 6u);
    EXPECT_EQ(Lines("KillTimer(MY_DISCOVER_ID)"), 1u);
    EXPECT_EQ(harness.boxes.calls().size(), 1u);
}

// With --all-interfaces the group is joined and every search sent on each
// kept interface, and each comes back from that interface's address. An
// interface that cannot be used (10.77.2.5 exists nowhere here) is logged
// and skipped; the others go on. The second address of qv0 adds neither a
// membership nor a search, but its network is still a local one.
TEST_F(DiscoveryBurstTest, AllInterfacesSearchesOnEveryKeptInterfaceAndSkipsOneThatFails)
{
    ASSERT_EQ(std::system("ip link add qv0 type veth peer name qv1 && ip link set qv1 up && ip link set qv0 up"
                          " && ip addr add 10.77.1.5/24 dev qv0 && ip addr add 10.77.3.5/24 dev qv0"),
              0);
    harness.UseInterfaces({FakeInterface("127.0.0.1", "255.0.0.0", IFF_UP, 1),
                           FakeInterface("10.77.1.5", "255.255.255.0", IFF_UP, 7),
                           FakeInterface("10.77.3.5", "255.255.255.0", IFF_UP, 7),
                           FakeInterface("10.77.2.5", "255.255.255.0", IFF_UP, 8)});
    harness.app.m_all_interfaces = true;
    harness.Run([&](CQuorvelDlg& dialog) {
        ASSERT_TRUE(WaitForBurstEnd());
        harness.Receive(dialog, SearchAnswer("uuid:b", "http://127.0.0.1:1/d"), "10.77.3.20");
    });
    EXPECT_TRUE(harness.log.Contains("GetUrl(http://127.0.0.1:1/d)")) << "10.77.3.20 is inside a local network";
    EXPECT_EQ(Lines("SendDiscover:SentTo("), 8u);
    EXPECT_EQ(Lines("SetSockOpt(IP_MULTICAST_IF,10.77.2.5) failed("), 2u + 4u);
    EXPECT_EQ(Lines("SendDiscover:AddMembership(10.77.2.5)failed(-1:"), 1u);
    EXPECT_EQ(Lines("SendDiscover:AddMembership("), 1u);
    EXPECT_GE(Lines("Receive from myself at 127.0.0.1"), 1u);
    EXPECT_GE(Lines("Receive from myself at 10.77.1.5"), 1u);
    EXPECT_TRUE(harness.boxes.calls().empty());
}

}  // namespace
