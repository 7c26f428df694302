#include <gtest/gtest.h>

#include "sim_message_checks.h"
#include "sim_options.h"
#include "ssdp_datagrams.h"

namespace {

using sim_test::IsWellFormedSsdp;
using sim_test::ParsedMessage;

struct SimRun {
    sim::SimOptions options;
    sim::Indicator indicator;
    sim::Announcement announcement;
};

SimRun MakeRun(std::vector<std::string> arguments)
{
    const sim::CommandLine parsed = sim::ParseCommandLine(arguments);
    EXPECT_EQ(parsed.outcome, sim::CommandLineOutcome::kRun) << parsed.error;
    const std::vector<sim::Indicator> indicators = sim::MakeIndicators(parsed.options);
    return SimRun{parsed.options, indicators.back(), sim::AnnouncementFor(parsed.options)};
}

const SimRun& DefaultRun()
{
    static const SimRun run = MakeRun({"--ip", "10.77.1.10", "--port", "8080", "--max-age", "77"});
    return run;
}

std::string Usn(const SimRun& run)
{
    return "uuid:" + run.indicator.guid + "::" + run.options.device_type;
}

TEST(SimSsdpDatagrams, AliveNotifyCarriesWhatDiscoveryNeeds)
{
    const std::string datagram = sim::ComposeAliveNotify(DefaultRun().indicator, DefaultRun().announcement);
    EXPECT_TRUE(IsWellFormedSsdp(datagram)) << datagram;
    ParsedMessage message(datagram);
    EXPECT_EQ(message.StartLine(), "NOTIFY * HTTP/1.1");
    EXPECT_EQ(message.Header("HOST"), "239.255.255.250:1900");
    EXPECT_EQ(message.Header("CACHE-CONTROL"), "max-age=77");
    EXPECT_EQ(message.Header("LOCATION"), "http://10.77.1.10:8080/description.xml");
    EXPECT_EQ(message.Header("NT"), kSearchTarget);
    EXPECT_EQ(message.Header("NTS"), "ssdp:alive");
    EXPECT_EQ(message.Header("USN"), Usn(DefaultRun()));
    EXPECT_TRUE(message.Has("SERVER"));
    EXPECT_EQ(message.Body(), "");
}

TEST(SimSsdpDatagrams, ByebyeNotifyNamesTheLeavingIndicator)
{
    const std::string datagram = sim::ComposeByebyeNotify(DefaultRun().indicator, DefaultRun().announcement);
    EXPECT_TRUE(IsWellFormedSsdp(datagram)) << datagram;
    ParsedMessage message(datagram);
    EXPECT_EQ(message.StartLine(), "NOTIFY * HTTP/1.1");
    EXPECT_EQ(message.Header("HOST"), "239.255.255.250:1900");
    EXPECT_EQ(message.Header("NT"), kSearchTarget);
    EXPECT_EQ(message.Header("NTS"), "ssdp:byebye");
    EXPECT_EQ(message.Header("USN"), Usn(DefaultRun()));
}

TEST(SimSsdpDatagrams, SearchAnswerCarriesWhatDiscoveryNeeds)
{
    const std::string datagram = sim::ComposeSearchAnswer(DefaultRun().indicator, DefaultRun().announcement);
    EXPECT_TRUE(IsWellFormedSsdp(datagram)) << datagram;
    ParsedMessage message(datagram);
    EXPECT_EQ(message.StartLine(), "HTTP/1.1 200 OK");
    EXPECT_EQ(message.Header("CACHE-CONTROL"), "max-age=77");
    EXPECT_EQ(message.Header("EXT"), "");
    EXPECT_EQ(message.Header("LOCATION"), "http://10.77.1.10:8080/description.xml");
    EXPECT_EQ(message.Header("ST"), kSearchTarget);
    EXPECT_EQ(message.Header("USN"), Usn(DefaultRun()));
    EXPECT_TRUE(message.Has("SERVER"));
}

TEST(SimSsdpDatagrams, OtherDeviceTypeReplacesTheIndicatorsEverywhere)
{
    const SimRun other = MakeRun({"--ip", "10.77.1.10", "--type", "urn:other-org:device:thing:2"});
    ParsedMessage alive(sim::ComposeAliveNotify(other.indicator, other.announcement));
    ParsedMessage byebye(sim::ComposeByebyeNotify(other.indicator, other.announcement));
    ParsedMessage answer(sim::ComposeSearchAnswer(other.indicator, other.announcement));
    EXPECT_EQ(alive.Header("NT"), "urn:other-org:device:thing:2");
    EXPECT_EQ(byebye.Header("NT"), "urn:other-org:device:thing:2");
    EXPECT_EQ(answer.Header("ST"), "urn:other-org:device:thing:2");
    EXPECT_EQ(answer.Header("USN"), Usn(other));
}

// The padding is a query, which the simulator's own server ignores.
TEST(SimSsdpDatagrams, LongLocationPadsAnnouncementsAndAnswers)
{
    for (int length : {600, 5000}) {
        const SimRun run = MakeRun({"--ip", "10.77.1.10", "--port", "8080", "--long-location", std::to_string(length)});
        const std::string alive = sim::ComposeAliveNotify(run.indicator, run.announcement);
        const std::string answer = sim::ComposeSearchAnswer(run.indicator, run.announcement);
        EXPECT_EQ(alive.size() > static_cast<size_t>(sim::kMaxDatagram), length == 5000);
        for (const std::string& datagram : {alive, answer}) {
            ParsedMessage message(datagram);
            const std::string location = message.Header("LOCATION");
            EXPECT_EQ(location.size(), static_cast<size_t>(length));
            EXPECT_EQ(location.rfind("http://10.77.1.10:8080/description.xml?xxx", 0), 0u) << location.substr(0, 60);
            EXPECT_EQ(location.find_first_not_of('x', location.find('?') + 1), std::string::npos);
        }
        ParsedMessage byebye(sim::ComposeByebyeNotify(run.indicator, run.announcement));
        EXPECT_FALSE(byebye.Has("LOCATION"));
    }
    // A location already that long stays as it is.
    const SimRun short_run = MakeRun({"--ip", "10.77.1.10", "--port", "8080", "--long-location", "10"});
    ParsedMessage alive(sim::ComposeAliveNotify(short_run.indicator, short_run.announcement));
    EXPECT_EQ(alive.Header("LOCATION"), "http://10.77.1.10:8080/description.xml");
}

// The longest names and types the command line accepts still fit one datagram.
TEST(SimSsdpDatagrams, LargestAcceptedValuesFitOneDatagram)
{
    const SimRun largest =
        MakeRun({"--ip", "255.255.255.255", "--count", "1000", "--port", "64536", "--max-age", "31536000", "--name",
                 std::string(46, 'n') + "%d", "--type", "urn:" + std::string(196, 't')});
    for (const std::string& datagram : {sim::ComposeAliveNotify(largest.indicator, largest.announcement),
                                        sim::ComposeByebyeNotify(largest.indicator, largest.announcement),
                                        sim::ComposeSearchAnswer(largest.indicator, largest.announcement)}) {
        EXPECT_LE(datagram.size(), static_cast<size_t>(sim::kMaxDatagram));
        EXPECT_TRUE(IsWellFormedSsdp(datagram));
    }
}

}  // namespace
