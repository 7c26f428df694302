#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialog_harness.h"
#include "isolated_network.h"
#include "loopback_http_server.h"
#include "standard_output_capture.h"
#include "tcp_listener.h"
#include "time_zone.h"
#include "indicators/description_elements.h"
#include "res/resource.h"
#include "ui/watch_run_dlg.h"
#include "win_kernel.h"

namespace {

using platform::testing::PumpUntil;
using std::chrono_literals::operator""ms;

const std::vector<Tone> kRising = {{1047, 100}, {1319, 100}, {1568, 100}};
const std::vector<Tone> kFalling = {{1568, 100}, {1245, 100}, {1047, 100}};
const Tone kTick = {8372, 40};
const std::string kUsnA = "uuid:aaaa::urn:schemas-quorvel-com:device:indicator:1";
const std::string kUsnB = "uuid:bbbb::urn:schemas-quorvel-com:device:indicator:1";
const std::string kUsnC = "uuid:cccc::urn:schemas-quorvel-com:device:indicator:1";
// Nothing listens on port 1 of the neighbour: the connection is refused at once.
const std::string kRefused = "http://" + std::string(kNeighbourAddress) + ":1/refused";
// The harness's PC has the address 10.77.1.1.
const std::string kOwnService = "http://10.77.1.1:8099/admin/delete?all=1";

class DiscoveryTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        UseTimeZone("UTC");
    }
    void TearDown() override { UseTimeZone(""); }

    DialogHarness harness;
    LoopbackHttpServer server{DescriptionResponse("scale-7", "K3 Indicator")};
};

TEST_F(DiscoveryTest, NewOnlineAndChangedRowsWithTheirCellsAndSignals)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.SetBeep(dialog, true);
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("desc.xml")), "10.77.1.20");
        ASSERT_EQ(dialog.m_list.GetItemCount(), 1);
        EXPECT_EQ(harness.Cell(dialog, 0, 0), "10.77.1.20");
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "scale-7");
        EXPECT_EQ(harness.Cell(dialog, 0, 2), "K3 Indicator");
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "new ");
        EXPECT_EQ(harness.Cell(dialog, 0, 4), "23:16:09");  // 22:46:09 UTC plus 1800 s
        std::vector<Tone> expected = {kTick};
        expected.insert(expected.end(), kRising.begin(), kRising.end());
        EXPECT_EQ(harness.tones, expected);

        harness.tones.clear();
        harness.SetNow(harness.Now() + 5);
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("desc.xml")), "10.77.1.20");
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "online ");
        EXPECT_EQ(harness.tones, std::vector<Tone>{kTick}) << "expiry moved on by exactly 5 s";

        harness.tones.clear();
        harness.SetNow(harness.Now() + 6);
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("desc.xml")), "10.77.1.20");
        expected = {kTick};
        expected.insert(expected.end(), kRising.begin(), kRising.end());
        EXPECT_EQ(harness.tones, expected) << "expiry moved on by 6 s";

        harness.tones.clear();
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("desc.xml")), "10.77.1.21");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 1);
        EXPECT_EQ(harness.Cell(dialog, 0, 0), "10.77.1.21");
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "changed ");
        EXPECT_EQ(harness.tones, std::vector<Tone>{kTick}) << "same expiry: no new signal";
    });
    EXPECT_TRUE(harness.log.Contains("OnAlive(10.77.1.20)"));
    EXPECT_TRUE(harness.log.Contains("GetUrl(" + server.Url("desc.xml") + ")"));
}

TEST_F(DiscoveryTest, OneRisingSignalPerBurstAndAgainAfterSearch)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.SetBeep(dialog, true);
        for (int answer = 0; answer < 4; ++answer)
            harness.Receive(dialog, SearchAnswer(kUsnA, server.Url("d")), "10.77.1.20");
        auto risingCount = [&] {
            int count = 0;
            for (const Tone& tone : harness.tones)
                count += tone == kRising[0];
            return count;
        };
        EXPECT_EQ(risingCount(), 1);
        platform::testing::ClickButton(&dialog, IDC_SEARCH);
        harness.Receive(dialog, SearchAnswer(kUsnA, server.Url("d")), "10.77.1.20");
        EXPECT_EQ(risingCount(), 2);
        EXPECT_EQ(server.connections(), 5) << "every accepted message fetches the description again";
    });
}

TEST_F(DiscoveryTest, NoTonesWithoutTheBeepBox)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.20");
        harness.Receive(dialog, ByebyeNotify(kUsnA), "10.77.1.20");
    });
    EXPECT_TRUE(harness.tones.empty());
}

TEST_F(DiscoveryTest, ByebyeOnALiveRowFallsAndOnASearchingOrLostRowIsSilent)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.20");
        harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d")), "10.77.1.30");
        harness.SetBeep(dialog, true);
        harness.tones.clear();
        harness.Receive(dialog, ByebyeNotify(kUsnA), "10.77.1.20");
        std::vector<Tone> expected = {kTick};
        expected.insert(expected.end(), kFalling.begin(), kFalling.end());
        EXPECT_EQ(harness.tones, expected);
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "byebye");
        EXPECT_EQ(harness.Cell(dialog, 0, 4), "????");
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "scale-7") << "the row keeps what it knew";

        platform::testing::ClickButton(&dialog, IDC_SEARCH);
        harness.tones.clear();
        harness.Receive(dialog, ByebyeNotify(kUsnB), "10.77.1.30");
        EXPECT_EQ(harness.tones, std::vector<Tone>{kTick});
        EXPECT_EQ(harness.Cell(dialog, 1, 3), "byebye");
        harness.tones.clear();
        harness.Receive(dialog, ByebyeNotify("uuid:unknown"), "10.77.1.30");
        harness.Receive(dialog, "NOTIFY * HTTP/1.1\r\nNTS: ssdp:byebye\r\n\r\n", "10.77.1.30");
        EXPECT_EQ(harness.tones, (std::vector<Tone>{kTick, kTick}));
    });
}

TEST_F(DiscoveryTest, SearchTargetIsTakenFromNtBeforeStAndMatchedExactly)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        const std::string location = server.Url("d");
        const std::string other = "urn:schemas-quorvel-com:device:printer:1";
        harness.Receive(dialog, AliveNotify(kUsnA, location, "1800", other) , "10.77.1.20");
        std::string ntOtherStOurs = "HTTP/1.1 200 OK\r\nNT: " + other + "\r\nST: urn:schemas-quorvel-com:device:indicator:1"
                                    "\r\nCACHE-CONTROL: max-age=60\r\nLOCATION: " + location + "\r\nUSN: x\r\n\r\n";
        harness.Receive(dialog, ntOtherStOurs, "10.77.1.20");
        harness.Receive(dialog, AliveNotify(kUsnA, location, "1800", "URN:schemas-quorvel-com:device:indicator:1"),
                        "10.77.1.20");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 0);
        EXPECT_EQ(dialog.m_alive_received, 0);
        harness.Receive(dialog, SearchAnswer(kUsnB, location), "10.77.1.20");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 1);
    });
    EXPECT_EQ(harness.log.Count(">ignore search target \"urn:schemas-quorvel-com:device:printer:1\""), 2u);
    EXPECT_TRUE(harness.log.Contains(">ignore search target \"URN:schemas-quorvel-com:device:indicator:1\""));
}

TEST_F(DiscoveryTest, CacheControlMustBeAPlainPositiveMaxAge)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        const std::string location = server.Url("d");
        int accepted = 0;
        for (const char* maxAge : {"0", "1800, must-revalidate", "abc"}) {
            harness.Receive(dialog, AliveNotify("uuid:" + std::string(maxAge), location, maxAge), "10.77.1.20");
            EXPECT_EQ(dialog.m_list.GetItemCount(), accepted) << maxAge;
        }
        std::string capitals = "NOTIFY * HTTP/1.1\r\nCACHE-CONTROL: MAX-AGE=1800\r\nLOCATION: " + location +
                               "\r\nNT: urn:schemas-quorvel-com:device:indicator:1\r\nNTS: ssdp:alive\r\nUSN: c\r\n\r\n";
        harness.Receive(dialog, capitals, "10.77.1.20");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 0);
        harness.Receive(dialog, AliveNotify("uuid:blank", location, " 1800"), "10.77.1.20");
        ASSERT_EQ(dialog.m_list.GetItemCount(), 1);
        EXPECT_EQ(harness.Cell(dialog, 0, 4), "23:16:09");
        EXPECT_EQ(dialog.m_alive_received, 5);
    });
}

TEST_F(DiscoveryTest, MissingLocationStillCountsForTheBurst)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, "HTTP/1.1 200 OK\r\nST: urn:schemas-quorvel-com:device:indicator:1\r\n"
                                "CACHE-CONTROL: max-age=1800\r\nUSN: a\r\n\r\n", "10.77.1.20");
        EXPECT_EQ(dialog.m_alive_received, 1);
        EXPECT_EQ(dialog.m_list.GetItemCount(), 0);
    });
}

const std::vector<INTERFACE_INFO> kTwoInterfaces = {FakeLoopback(), FakeInterface("10.77.1.1", "255.255.255.0", IFF_UP),
                                                    FakeInterface("10.77.2.1", "255.255.255.0", IFF_UP)};

TEST_F(DiscoveryTest, SenderInEitherLocalNetworkIsFetchedAndOutsideIsListedWithoutAConnection)
{
    harness.UseInterfaces(kTwoInterfaces);
    const struct {
        const char* sender;
        const char* hostname;
        const char* devType;
    } cases[] = {
        {"10.77.1.9", "scale-7", "K3 Indicator"},
        {"10.77.2.9", "scale-7", "K3 Indicator"},
        {"10.77.3.9", "-outside network-", "(unknown)"},
    };
    harness.Run([&](CQuorvelDlg& dialog) {
        for (const auto& [sender, hostname, devType] : cases)
            harness.Receive(dialog, AliveNotify(std::string("uuid:") + sender, server.Url("d")), sender);
        ASSERT_EQ(dialog.m_list.GetItemCount(), 3);
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(harness.Cell(dialog, row, 1), cases[row].hostname) << cases[row].sender;
            EXPECT_EQ(harness.Cell(dialog, row, 2), cases[row].devType) << cases[row].sender;
        }
        EXPECT_EQ(dialog.RecordAt(2)->description, "-outside network-");
    });
    EXPECT_EQ(server.connections(), 2);
}

TEST_F(DiscoveryTest, DescriptionWithoutBodyOrAFailedFetch)
{
    LoopbackHttpServer noBody("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n<modelName>x</modelName>");
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify(kUsnA, noBody.Url("d")), "10.77.1.20");
        EXPECT_EQ(dialog.RecordAt(0)->description, "???");
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "(unknown)");
        EXPECT_EQ(harness.Cell(dialog, 0, 2), "(unknown)");

        harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d")), "10.77.1.30");
        harness.SetNow(harness.Now() + 60);
        harness.Receive(dialog, AliveNotify(kUsnB, kRefused), "10.77.1.30");
        EXPECT_EQ(harness.Cell(dialog, 1, 1), "scale-7") << "a failed fetch keeps the names";
        EXPECT_EQ(dialog.RecordAt(1)->description, "");
        EXPECT_EQ(harness.Cell(dialog, 1, 3), "online ");
        harness.Receive(dialog, AliveNotify(kUsnB, kRefused), "10.77.1.30");
        // A location on the PC's own services is a failed fetch too.
        harness.Receive(dialog, AliveNotify(kUsnB, kOwnService), "10.77.1.30");
        EXPECT_EQ(harness.Cell(dialog, 1, 1), "scale-7");
        EXPECT_EQ(harness.Cell(dialog, 1, 3), "online ");
    });
    EXPECT_EQ(harness.log.Count("GetUrl(" + kRefused + ")=0"), 2u) << "a fetch that fails at once is tried again";
    EXPECT_TRUE(harness.log.Contains(">GetUrl: refused, own address 10.77.1.1: " + kOwnService));
    EXPECT_TRUE(harness.log.Contains("GetUrl(" + kOwnService + ")=0"));
    EXPECT_FALSE(harness.log.Contains("GetUrl::TryConnect(" + kOwnService + ")"));
}

// A body near the response cap keeps every value in a record of a few
// kilobytes, wherever in the body its element stands.
TEST_F(DiscoveryTest, ALargeDescriptionKeepsEveryValueInASmallRecord)
{
    std::string response = DescriptionResponse("scale-7", "K3 Indicator");
    const std::string filler(340 * 1024, ' ');
    response.insert(response.find("<modelNumber>"), filler);
    response.insert(response.find("<modelDescription>"), filler);
    LoopbackHttpServer large(response + filler);
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify(kUsnA, large.Url("d")), "10.77.1.20");
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "scale-7");
        EXPECT_EQ(harness.Cell(dialog, 0, 2), "K3 Indicator");
        const std::string& kept = dialog.RecordAt(0)->description;
        EXPECT_LT(kept.size(), 1024u);
        EXPECT_EQ(ElementText(kept, kSerialNumberElement), "SN-0001");
        EXPECT_EQ(ElementText(kept, kUdnElement), "11111111-2222-3333-4444-555555555555");
        EXPECT_EQ(ElementText(kept, kPresentationUrlElement), "http://10.77.1.20/");
    });
    EXPECT_TRUE(harness.log.Contains("GetUrl(" + large.Url("d") + ")=" + std::to_string(response.size() + filler.size())));
}

// Past 256 rows from one address or 4096 in all a new USN is dropped before
// any fetch, with a line at most once a minute per sender. A row counts for
// the address its indicator last spoke from; known USNs are always served.
TEST_F(DiscoveryTest, NewUsnsPastARowBoundAreDroppedAndKnownOnesServed)
{
    const auto line = [](const char* sender, const char* bound, int dropped) {
        return std::string(">new USN from ") + sender + " dropped, bound of " + bound + " (" +
               std::to_string(dropped) + " dropped since the last line)";
    };
    harness.Run([&](CQuorvelDlg& dialog) {
        const auto announce = [&](const std::string& usn, const char* sender) {
            harness.Receive(dialog, AliveNotify(usn, server.Url("d")), sender);
        };
        for (int n = 0; n < 258; ++n)
            announce("uuid:x-" + std::to_string(n), "10.78.0.1");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 256) << "one address holds up to 256 rows";
        announce("uuid:x-1", "10.78.0.2");
        EXPECT_EQ(harness.Cell(dialog, 1, 3), "changed ");
        announce("uuid:x-moved", "10.78.0.1");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 257) << "the moved row no longer counts for its old address";
        for (int host = 1; host <= 15; ++host) {
            const std::string sender = "10.78.1." + std::to_string(host);
            for (int n = 0; n < 256; ++n)
                announce("uuid:" + sender + "-" + std::to_string(n), sender.c_str());
        }
        EXPECT_EQ(dialog.m_list.GetItemCount(), 4096);
        announce("uuid:inside", "10.77.1.20");
        announce("uuid:x-0", "10.78.0.1");
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "online ") << "a known USN is served at the bound";
        // The senders past the first 256 with drops in the last minute share a line.
        for (int host = 1; host <= 260; ++host)
            announce("uuid:many", ("10.79." + std::to_string(host / 200) + "." + std::to_string(host % 200)).c_str());
        harness.SetNow(harness.Now() + 60);
        announce("uuid:x-again", "10.78.0.1");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 4096);
    });
    EXPECT_EQ(harness.log.Count(line("10.78.0.1", "256 rows per sender address", 1)), 1u);
    EXPECT_EQ(harness.log.Count(line("10.78.0.1", "256 rows per sender address", 2)), 1u);
    EXPECT_EQ(harness.log.Count(line("10.78.1.15", "4096 rows in all", 1)), 1u);
    EXPECT_EQ(harness.log.Count(line("10.77.1.20", "4096 rows in all", 1)), 1u);
    EXPECT_EQ(harness.log.Count(line("10.79.1.53", "4096 rows in all", 1)), 1u);
    EXPECT_EQ(harness.log.Count(line("other senders", "4096 rows in all", 1)), 1u);
    EXPECT_EQ(harness.log.Count(line("10.79.1.54", "4096 rows in all", 1)), 0u);
    EXPECT_EQ(server.connections(), 0) << "a dropped USN is not fetched";
}

// Takes connections into its backlog and never answers, as the server of a
// hung device does. It stands on a host of its own beside the good server.
class SilentListener {
public:
    SilentListener() : m_fd(ListenOnFreePort(kSecondNeighbourAddress, 4, m_port)) {}
    ~SilentListener() { CloseTestSocket(m_fd); }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    std::string Url(const std::string& path) const
    {
        return "http://" + std::string(kSecondNeighbourAddress) + ":" + std::to_string(m_port) + "/" + path;
    }

private:
    int m_port = 0;
    TestSocket m_fd;
};

// A device that never answers holds the window once, not on every message,
// whatever path or port it names next and whoever names it; the user's
// Search gives it another try. A skipped fetch leaves the details as they
// were, a failed one empties them. The hold runs on the monotonic clock.
TEST_F(DiscoveryTest, AFetchThatRanOutOfTimeHoldsItsHostAndSenderUntilAMinuteOrASearchHasPassed)
{
    SilentListener silent;
    SilentListener otherPort;
    const std::string hanging = silent.Url("d");
    // A name that resolves to the hanging host.
    std::string byName = silent.Url("d3");
    byName.replace(byName.find(kSecondNeighbourAddress), std::strlen(kSecondNeighbourAddress), "scale.example");
    platform::seams::SetHostResolver([](const std::string& host, in_addr& address) {
        return host == "scale.example" && inet_pton(AF_INET, kSecondNeighbourAddress, &address) == 1;
    });
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.30");
        harness.Receive(dialog, AliveNotify(kUsnA, hanging), "10.77.1.30");
        EXPECT_EQ(dialog.RecordAt(0)->description, "") << "a failed fetch";
        harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d")), "10.77.1.31");
        const std::string details = dialog.RecordAt(1)->description;
        harness.SetNow(harness.Now() + 60);
        harness.Receive(dialog, AliveNotify(kUsnA, silent.Url("d1")), "10.77.1.30");
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "scale-7");
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "online ");
        EXPECT_EQ(harness.Cell(dialog, 0, 4), "23:17:09");
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.30");
        harness.Receive(dialog, AliveNotify(kUsnB, otherPort.Url("d2")), "10.77.1.31");
        EXPECT_EQ(dialog.RecordAt(1)->description, details) << "a skipped fetch leaves the details";
        harness.Receive(dialog, AliveNotify(kUsnC, byName), "10.77.1.32");
        EXPECT_EQ(harness.Cell(dialog, 1, 1), "scale-7");
        platform::testing::ClickButton(&dialog, IDC_SEARCH);
        harness.Receive(dialog, AliveNotify(kUsnA, hanging), "10.77.1.30");
        harness.StepWallClock(-3600);
        harness.SetNow(harness.Now() + 61);
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.30");
    });
    EXPECT_EQ(harness.log.Count("GetUrl(" + hanging + ")=0"), 2u);
    EXPECT_EQ(harness.log.Count(">GetUrl: skipped, slow or out of time less than 60 s ago: " + silent.Url("d1")), 1u)
        << "another path on the hanging host";
    EXPECT_EQ(harness.log.Count(">GetUrl: skipped, slow or out of time less than 60 s ago: " + server.Url("d")), 1u)
        << "any location from the sender that named the hanging host";
    EXPECT_EQ(harness.log.Count(">GetUrl: skipped, slow or out of time less than 60 s ago: " + otherPort.Url("d2")), 1u)
        << "another port of the hanging host, named by another sender";
    EXPECT_EQ(harness.log.Count("GetUrl::TryConnect(" + otherPort.Url("d2") + ")"), 0u);
    EXPECT_EQ(harness.log.Count(">GetUrl: skipped, slow or out of time less than 60 s ago: " + byName), 1u)
        << "a name that resolves to the hanging host";
    EXPECT_EQ(harness.log.Count("GetUrl::TryConnect(" + byName + ")"), 0u);
    platform::seams::SetHostResolver({});
    EXPECT_EQ(server.connections(), 3) << "a device that answers is fetched on every message, "
                                          "and a hold ends a minute on though the wall clock went back";
}

// A device that answers slowly, inside every bound, is held like one that
// never answers; and however many devices are slow, fetches together hold
// the window at most 10 s a minute. The last 2 s are kept for indicators
// that answered promptly; past the budget fetches are skipped, with one line
// a minute, and each row keeps its details.
TEST_F(DiscoveryTest, ASlowAnswerHoldsItsDeviceAndFetchesStopWhenTheirMinutesBudgetIsSpent)
{
    LoopbackHttpServer slow(DescriptionResponse("scale-9", "K9 Indicator"), 2200);
    harness.Run([&](CQuorvelDlg& dialog) {
        const auto spend = [&](uint64_t ms) {
            const uint64_t now = GetTickCount64();
            dialog.m_fetch_budget.Spent(now - ms, now);
        };
        harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d")), "10.77.1.31");
        harness.Receive(dialog, AliveNotify(kUsnA, slow.Url("d")), "10.77.1.30");
        EXPECT_EQ(harness.Cell(dialog, 1, 1), "scale-9") << "a slow answer is still taken";
        harness.Receive(dialog, AliveNotify(kUsnA, slow.Url("d")), "10.77.1.30");
        EXPECT_EQ(ElementText(dialog.RecordAt(1)->description, kModelNumberElement), "K3-100");
        platform::testing::ClickButton(&dialog, IDC_SEARCH);
        spend(8500);
        harness.Receive(dialog, AliveNotify(kUsnA, slow.Url("d")), "10.77.1.30");
        harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d")), "10.77.1.31");
        spend(2000);
        for (int n = 0; n < 2; ++n)
            harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d")), "10.77.1.31");
        EXPECT_EQ(ElementText(dialog.RecordAt(0)->description, kSerialNumberElement), "SN-0001");
        EXPECT_EQ(ElementText(dialog.RecordAt(1)->description, kSerialNumberElement), "SN-0001");
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "online ");
    });
    EXPECT_EQ(slow.connections(), 1);
    EXPECT_EQ(server.connections(), 2) << "the prompt indicator fetched from the reserve";
    EXPECT_EQ(harness.log.Count(">GetUrl: skipped, slow or out of time less than 60 s ago: " + slow.Url("d")), 1u);
    EXPECT_EQ(harness.log.Count(">GetUrl: skipped (1 since the last line), fetches held the window 10 s of the last "
                                "60 s: " + slow.Url("d")),
              1u);
}

// Watch mode in-process, its output into a pipe: each change of a row once,
// a repeated answer nothing; SIGTERM (a console event on Windows) reaches the
// console handler, which ends the run as closing the window does, with exit
// code 0.
TEST_F(DiscoveryTest, WatchPrintsEachChangeOnceAndSigtermEndsItWithZero)
{
    std::string printed;
    INT_PTR result = 0;
    {
        StandardOutputCapture output;
        ASSERT_TRUE(output.Capturing());
        CWatchRunDlg dialog(0, false);
        harness.app.m_pMainWnd = &dialog;
        result = platform::testing::RunDialog(dialog, [&] {
            for (int n = 0; n < 3; ++n)
                harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.30");
            ASSERT_TRUE(dialog.IsWindowVisible());
            RequestEndAsTheConsoleDoes();
            EXPECT_TRUE(PumpUntil([&] { return !dialog.IsWindowVisible(); }, 2000)) << "the request did not end the run";
        });
        harness.app.m_pMainWnd = nullptr;
        printed = output.Read();
        EXPECT_EQ(dialog.ExitCode(), 0);
    }
    EXPECT_EQ(result, IDCANCEL);
    std::vector<std::string> events;
    for (size_t start = 0, end; (end = printed.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = printed.substr(start, end - start);
        events.push_back(line.substr(line.find('\t') + 1, line.find('\t', line.find('\t') + 1) - line.find('\t') - 1));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"new", "online"})) << printed;
}

// Datagrams that arrive while a fetch blocks are handled after it returns,
// in their order: the handlers never overlap.
TEST_F(DiscoveryTest, AnnouncementsDuringASlowFirstFetchMakeOneOnlineRow)
{
    const std::string description = DescriptionResponse("scale-7", "K3 Indicator");
    LoopbackHttpServer slow(description, 800);
    const std::string done = "GetUrl(" + slow.Url("d") + ")=" + std::to_string(description.size());
    NeighbourDatagrams device;
    harness.Run([&](CQuorvelDlg& dialog) {
        const std::string alive = AliveNotify(kUsnA, slow.Url("d"));
        device.SendSpaced({alive, alive, alive}, 100ms);
        ASSERT_TRUE(PumpUntil([&] { return harness.log.Count(done) == 3; }, 8000));
        ASSERT_EQ(dialog.m_list.GetItemCount(), 1);
        EXPECT_EQ(harness.Cell(dialog, 0, 1), "scale-7");
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "online ");
    });
}

TEST_F(DiscoveryTest, AByebyeDuringTheFirstFetchEndsTheNewRow)
{
    LoopbackHttpServer slow(DescriptionResponse("scale-7", "K3 Indicator"), 800);
    NeighbourDatagrams device;
    harness.Run([&](CQuorvelDlg& dialog) {
        device.SendSpaced({AliveNotify(kUsnA, slow.Url("d")), ByebyeNotify(kUsnA)}, 200ms);
        const auto endedByebye = [&] {
            return dialog.m_list.GetItemCount() == 1 && harness.Cell(dialog, 0, 3) == "byebye";
        };
        ASSERT_TRUE(PumpUntil(endedByebye, 5000));
    });
}

TEST_F(DiscoveryTest, OwnDatagramsAreCountedAndNeverParsedButLoopbackIsNotOwn)
{
    harness.UseInterfaces(kTwoInterfaces);
    harness.Run([&](CQuorvelDlg& dialog) {
        const int before = dialog.m_own_received;
        for (const char* own : {"10.77.1.1", "10.77.2.1"})
            harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), own);
        EXPECT_EQ(dialog.m_own_received, before + 2);
        EXPECT_EQ(dialog.m_list.GetItemCount(), 0);
        harness.Receive(dialog, "M-SEARCH * HTTP/1.1\r\nST: ssdp:all\r\n\r\n", "127.0.0.1");
        EXPECT_EQ(dialog.m_own_received, before + 2);
    });
    EXPECT_TRUE(harness.log.Contains("Receive from myself at 10.77.1.1"));
    EXPECT_TRUE(harness.log.Contains("Receive from myself at 10.77.2.1"));
    EXPECT_FALSE(harness.log.ContainsPrefix("OnAlive("));
    EXPECT_TRUE(harness.log.Contains(">ignoring Requ=M-SEARCH * HTTP/1.1"));
}

TEST_F(DiscoveryTest, UnrecognisedDatagramsAreIgnored)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, "notify * HTTP/1.1\r\nNTS: ssdp:alive\r\n\r\n", "10.77.1.20");
        harness.Receive(dialog, "NOTIFY * HTTP/1.1\r\nNTS: ssdp:update\r\nUSN: a\r\n\r\n", "10.77.1.20");
        harness.Receive(dialog, "NOTIFY * HTTP/1.1\nNTS: ssdp:alive\n\n", "10.77.1.20");
        harness.Receive(dialog, "", "10.77.1.20");
        // Whole answers but for their start lines, which are not exactly the answer's.
        const std::string answer = SearchAnswer(kUsnA, server.Url("d"));
        const std::string headers = answer.substr(answer.find("\r\n"));
        for (const char* startLine : {"HTTP/1.1 200 OK ", "HTTP/1.1 200 OK, thanks"})
            harness.Receive(dialog, startLine + headers, "10.77.1.20");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 0);
    });
    EXPECT_TRUE(harness.log.Contains(">ignoring Requ=notify * HTTP/1.1"));
    EXPECT_TRUE(harness.log.Contains(">ignoring Requ=HTTP/1.1 200 OK "));
    EXPECT_TRUE(harness.log.Contains(">ignoring Requ=HTTP/1.1 200 OK, thanks"));
    EXPECT_EQ(harness.log.Count("OnReceive(10.77.1.20)"), 6u);
    size_t ignored = 0;
    for (const std::string& line : harness.log.lines())
        ignored += line.rfind(">ignoring Requ=", 0) == 0;
    EXPECT_EQ(ignored, 4u) << "lower-case NOTIFY, the LF-only datagram and the two answer look-alikes";
}

TEST_F(DiscoveryTest, SearchResetsEveryRowAndDisablesOpen)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.20");
        harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d")), "10.77.1.30");
        dialog.m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_TRUE(platform::testing::IsControlEnabled(&dialog, IDOK));
        platform::testing::ClickButton(&dialog, IDC_SEARCH);
        for (int row = 0; row < 2; ++row) {
            EXPECT_EQ(harness.Cell(dialog, row, 3), "searching");
            EXPECT_EQ(harness.Cell(dialog, row, 4), "????");
            EXPECT_EQ(dialog.RecordAt(row)->valid_until, 0);
            EXPECT_EQ(dialog.RecordAt(row)->status, "new ") << "the record's status stays";
        }
        EXPECT_FALSE(platform::testing::IsControlEnabled(&dialog, IDOK));
    });
}

TEST_F(DiscoveryTest, ExpiryTickTurnsOnlyLiveExpiredRowsLost)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d"), "60"), "10.77.1.20");
        harness.Receive(dialog, AliveNotify(kUsnB, server.Url("d"), "1800"), "10.77.1.30");
        harness.Receive(dialog, AliveNotify("uuid:c", server.Url("d"), "30"), "10.77.1.40");
        harness.Receive(dialog, ByebyeNotify("uuid:c"), "10.77.1.40");
        harness.SetNow(harness.Now() + 60);
        harness.FireTimer(dialog, MY_EXPIRY_ID);
        EXPECT_EQ(harness.Cell(dialog, 0, 3), "lost");
        EXPECT_EQ(harness.Cell(dialog, 0, 4), "????");
        EXPECT_EQ(harness.Cell(dialog, 1, 3), "new ");
        EXPECT_EQ(harness.Cell(dialog, 2, 3), "byebye");
        EXPECT_EQ(dialog.RecordAt(0)->status, "new ");
    });
}

TEST_F(DiscoveryTest, ValidUntilShowsOnlyTheLocalTimeOfDay)
{
    struct Zone {
        const char* tz;
        const char* validUntil;
    };
    // POSIX zone rules, so no time zone database is needed.
    const Zone zones[] = {{"UTC", "00:20:00"}, {"IST-5:30", "05:50:00"}, {"HST10", "14:20:00"}};
    harness.SetNow(1796773800);  // 2026-12-08 23:50:00 UTC
    for (const Zone& zone : zones) {
        UseTimeZone(zone.tz);
        harness.Run([&](CQuorvelDlg& dialog) {
            harness.Receive(dialog, AliveNotify(kUsnA, server.Url("d")), "10.77.1.20");
            EXPECT_EQ(harness.Cell(dialog, 0, 4), zone.validUntil) << zone.tz;
        });
    }
}

TEST_F(DiscoveryTest, ABurstOfNewRowsIsListedAtOnceAndShownWithinFrames)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        const std::vector<std::string> senders = {"10.77.1.20", "10.77.1.21", "10.77.1.22", "10.77.1.23"};
        for (const std::string& sender : senders)
            harness.Receive(dialog, AliveNotify("uuid:" + sender, server.Url("d")), sender.c_str());
        ASSERT_EQ(dialog.m_list.GetItemCount(), 4);
        for (int row = 0; row < 4; ++row) {
            EXPECT_EQ(harness.Cell(dialog, row, 0), senders[static_cast<size_t>(row)]);
            EXPECT_EQ(harness.Cell(dialog, row, 1), "scale-7");
            int found = -1;
            EXPECT_EQ(dialog.FindRecord(("uuid:" + senders[static_cast<size_t>(row)]).c_str(), found),
                      dialog.RecordAt(row));
            EXPECT_EQ(found, row);
        }
        EXPECT_TRUE(platform::testing::PumpUntil(
            [&] { return platform::testing::ViewRowCount(&dialog.m_list) == 4; }, 2000));
    });
}

TEST_F(DiscoveryTest, RowsAreFoundByTheirExactUsn)
{
    harness.Run([&](CQuorvelDlg& dialog) {
        harness.Receive(dialog, AliveNotify("uuid:abc", server.Url("d")), "10.77.1.20");
        harness.Receive(dialog, AliveNotify("uuid:ABC", server.Url("d")), "10.77.1.20");
        EXPECT_EQ(dialog.m_list.GetItemCount(), 2) << "two indicators at one address";
        int row = 7;
        EXPECT_EQ(dialog.FindRecord("uuid:ABC", row), dialog.RecordAt(1));
        EXPECT_EQ(row, 1);
        EXPECT_EQ(dialog.FindRecord("uuid:none", row), nullptr);
        EXPECT_EQ(row, -1);
        EXPECT_EQ(dialog.FindItem(dialog.RecordAt(1)), 1);
        LVFINDINFO find;
        find.flags = LVFI_PARAM;
        find.lParam = reinterpret_cast<LPARAM>(dialog.RecordAt(1));
        EXPECT_EQ(dialog.m_list.FindItem(&find, 0), 1);
        EXPECT_EQ(dialog.m_list.FindItem(&find, 1), -1) << "the search starts after the given row";
        EXPECT_EQ(dialog.GetSelectedRecord(), nullptr);
    });
}

}  // namespace
