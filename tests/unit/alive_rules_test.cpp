#include <gtest/gtest.h>

#include "win_sock.h"

#include "indicators/alive_rules.h"
#include "indicators/description_elements.h"
#include "indicators/extract_between.h"
#include "indicators/kept_description.h"
#include "indicators/fetch_budget.h"
#include "indicators/timed_out_peers.h"

namespace {

TEST(MaxAgeTest, AcceptsAPlainPositiveNumberAsStrtoulReadsIt)
{
    EXPECT_EQ(ParseMaxAge("max-age=1800"), 1800u);
    EXPECT_EQ(ParseMaxAge("max-age= 1800"), 1800u);
    EXPECT_EQ(ParseMaxAge("max-age=\t+5"), 5u);
    EXPECT_EQ(ParseMaxAge("max-age=-1"), 4294967295u);
    EXPECT_EQ(ParseMaxAge("max-age=-4294967295"), 1u);
    EXPECT_EQ(ParseMaxAge("max-age=99999999999"), 4294967295u);
}

TEST(MaxAgeTest, RefusesZeroTrailingTextOtherDirectivesAndCapitals)
{
    for (const char* value : {"max-age=0", "max-age=-0", "max-age=1800, no-cache", "max-age=1800 ", "max-age=",
                              "max-age=abc", "no-cache, max-age=1800", "MAX-AGE=1800", "max-age =1800", ""})
        EXPECT_FALSE(ParseMaxAge(value).has_value()) << '"' << value << '"';
}

TEST(SameSubnetTest, ComparesOnlyTheMaskedBits)
{
    const auto a = [](const char* text) { return static_cast<unsigned long>(inet_addr(text)); };
    EXPECT_TRUE(SameSubnet(a("192.168.1.20"), a("192.168.1.1"), a("255.255.255.0")));
    EXPECT_FALSE(SameSubnet(a("192.168.2.20"), a("192.168.1.1"), a("255.255.255.0")));
    EXPECT_TRUE(SameSubnet(a("192.168.2.20"), a("192.168.1.1"), a("255.255.0.0")));
    EXPECT_TRUE(SameSubnet(a("8.8.8.8"), a("192.168.1.1"), a("0.0.0.0")));
}

TEST(ExtractBetweenTest, CutsBetweenTheFirstMarkersOnly)
{
    EXPECT_EQ(ExtractBetween("<modelName>A</modelName><modelName>B</modelName>", "<modelName>", "</modelName>"), "A");
    EXPECT_EQ(ExtractBetween("<modelName>A", "<modelName>", "</modelName>"), "");
    EXPECT_EQ(ExtractBetween("</modelName><modelName>", "<modelName>", "</modelName>"), "");
    EXPECT_EQ(ExtractBetween("say \"one\" and \"two\"", "\"", "\""), "one");
    EXPECT_EQ(ExtractBetween("<UDN>uuid:1234</UDN>", "<UDN>uuid:", "</UDN>"), "1234");
    EXPECT_EQ(ExtractBetween("<UDN>UUID:1234</UDN>", "<UDN>uuid:", "</UDN>"), "");
    EXPECT_EQ(ExtractBetween("<serialNumber></serialNumber>", "<serialNumber>", "</serialNumber>"), "");
}

// What a record keeps of a body of up to the 1 MiB response cap gives every
// element's value as the whole body does, wherever the element stands.
TEST(KeptDescriptionTest, GivesEachElementAsTheWholeBodyDoes)
{
    const std::string filler(512 * 1024, 'x');
    const std::string elements = "<modelDescription>Indicator \"scale-7\"</modelDescription><modelName>K3</modelName>"
                                 "<modelNumber>K3-100</modelNumber><serialNumber>SN-1</serialNumber>"
                                 "<UDN>uuid:1111-2222</UDN><presentationURL>http://10.77.1.20/</presentationURL>";
    const std::string bodies[] = {
        elements + filler + filler,
        filler + elements + filler,
        filler + filler.substr(1024) + elements,
        // Spread over the body, one before its opening marker's first use.
        "<modelName>A</modelName>" + filler + "</UDN><UDN>uuid:u</UDN>" + filler + "<serialNumber>s</serialNumber>",
        // A marker inside another element's value, a bare <UDN> before the
        // marked one, an opening marker without a closing one.
        "<modelName>a<serialNumber>b</modelName>c</serialNumber><UDN>UUID:x</UDN><UDN>uuid:y</UDN><modelNumber>",
        "<modelDescription>" + filler + "\"end\"</modelDescription><modelName>M</modelName>",
        // Each element inside the one before, so each value would hold the
        // ones after it.
        "<modelDescription>\"<modelName>" + filler.substr(0, 3000) + "<modelNumber>" + filler.substr(0, 3000) +
            "<serialNumber>s</serialNumber></modelNumber></modelName>\"</modelDescription>",
    };
    for (const std::string& body : bodies) {
        const std::string kept = KeptDescription(body);
        EXPECT_LE(kept.size(), 7u * 1024) << body.substr(0, 80);
        for (const DescriptionElement& element : kDescriptionElements) {
            const std::string whole = ExtractBetween(body, element.open, element.close);
            EXPECT_EQ(ElementText(kept, element), whole.substr(0, kKeptValueLimit))
                << element.open << " in " << body.substr(0, 80);
        }
    }
}

TEST(TimedOutPeersTest, HoldsTheHostAndTheSenderForSixtySecondsUntilForgotten)
{
    TimedOutPeers peers;
    peers.Remember("10.0.0.9", "10.0.0.5", 1000);
    peers.Remember("10.0.0.8", "10.0.0.6", 1030);
    EXPECT_TRUE(peers.HoldsHost("10.0.0.9", 1060));
    EXPECT_TRUE(peers.HoldsSender("10.0.0.5", 1060));
    EXPECT_FALSE(peers.HoldsHost("10.0.0.5", 1030)) << "a sender is no host";
    EXPECT_FALSE(peers.HoldsSender("10.0.0.9", 1030)) << "a host is no sender";
    EXPECT_FALSE(peers.HoldsHost("10.0.0.9", 1061));
    EXPECT_FALSE(peers.HoldsSender("10.0.0.5", 1061));
    EXPECT_TRUE(peers.HoldsSender("10.0.0.6", 1061));
    peers.Forget();
    EXPECT_FALSE(peers.HoldsSender("10.0.0.6", 1061));
}

// Time is counted in slots of 100 ms; the window's oldest slot counts whole.
// The last 2 s are kept for indicators that were prompt before; less than
// 250 ms is no try.
TEST(FetchBudgetTest, FetchesTogetherGetTenSecondsInAnyMinute)
{
    const bool prompt = true;
    FetchBudget budget;
    const uint64_t start = 5000000;
    EXPECT_EQ(budget.Left(start, prompt), 10000u);
    EXPECT_EQ(budget.Left(start, !prompt), 8000u);
    budget.Spent(start, start + 4000);
    EXPECT_EQ(budget.Left(start + 4000, prompt), 6000u);
    for (uint64_t at = start + 30000; at < start + 33800; at += 20)
        budget.Spent(at, at + 20);
    EXPECT_EQ(budget.Left(start + 33800, !prompt), 0u) << "many short fetches add up; 200 ms is no try";
    EXPECT_EQ(budget.Left(start + 33800, prompt), 2200u);
    budget.Spent(start + 33800, start + 35800);
    EXPECT_EQ(budget.Left(start + 35800, prompt), 0u);
    EXPECT_EQ(budget.Left(start + 64000, prompt), 4200u) << "the first fetch has left the window";
    EXPECT_EQ(budget.Left(start + 96100, !prompt), 8000u);
    budget.Spent(start + 96100, start + 106100);
    budget.Forget();
    EXPECT_EQ(budget.Left(start + 106100, prompt), 10000u) << "the user's Search gives it back";
}

}  // namespace
