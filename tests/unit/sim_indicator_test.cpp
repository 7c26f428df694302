#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "indicator.h"
#include "name_pattern.h"

namespace {

sim::SimOptions Options(const std::string& address, int count, int first_port)
{
    sim::SimOptions options;
    options.address = address;
    options.count = count;
    options.first_port = first_port;
    return options;
}

TEST(SimNamePattern, NumbersReplaceEveryPlaceholder)
{
    EXPECT_EQ(sim::ExpandNamePattern("scale-%d", 7, 9), "scale-7");
    EXPECT_EQ(sim::ExpandNamePattern("%d.hall%d", 12, 20), "12.hall12");
    EXPECT_EQ(sim::ExpandNamePattern("silo", 1, 1), "silo");
}

TEST(SimNamePattern, PatternWithoutPlaceholderStaysDistinctForSeveral)
{
    EXPECT_EQ(sim::ExpandNamePattern("silo", 1, 3), "silo-1");
    EXPECT_EQ(sim::ExpandNamePattern("silo", 3, 3), "silo-3");
}

TEST(SimNamePattern, OnlyHostNameCharactersAndPlaceholders)
{
    for (const char* good : {"scale-%d", "a", "A_b.c-%d%d", "42"})
        EXPECT_TRUE(sim::IsValidNamePattern(good)) << good;
    for (const char* bad : {"", "a%", "a%s", "%%", "a b", "a\"b", "a<b>", "caf\xc3\xa9"})
        EXPECT_FALSE(sim::IsValidNamePattern(bad)) << bad;
}

TEST(SimIndicator, EachIndicatorHasItsOwnPortNameGuidAndSerial)
{
    const std::vector<sim::Indicator> indicators = sim::MakeIndicators(Options("10.77.1.10", 3, 8080));
    ASSERT_EQ(indicators.size(), 3u);
    std::set<std::string> names, guids, serials;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(indicators[i].number, i + 1);
        EXPECT_EQ(indicators[i].http_port, 8080 + i);
        EXPECT_EQ(indicators[i].address, "10.77.1.10");
        names.insert(indicators[i].host_name);
        guids.insert(indicators[i].guid);
        serials.insert(indicators[i].serial_number);
    }
    EXPECT_EQ(names, (std::set<std::string>{"scale-1", "scale-2", "scale-3"}));
    EXPECT_EQ(guids.size(), 3u);
    EXPECT_EQ(serials.size(), 3u);
}

TEST(SimIndicator, GuidsAreReproducibleAndDifferPerAddress)
{
    const auto first_run = sim::MakeIndicators(Options("10.77.1.10", 2, 80));
    const auto second_run = sim::MakeIndicators(Options("10.77.1.10", 2, 80));
    const auto other_host = sim::MakeIndicators(Options("10.77.1.11", 2, 80));
    const std::regex guid_shape("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(first_run[i].guid, second_run[i].guid);
        EXPECT_EQ(first_run[i].serial_number, second_run[i].serial_number);
        EXPECT_NE(first_run[i].guid, other_host[i].guid);
        EXPECT_NE(first_run[i].serial_number, other_host[i].serial_number);
        EXPECT_TRUE(std::regex_match(first_run[i].guid, guid_shape)) << first_run[i].guid;
    }
}

TEST(SimIndicator, UrlsAndServiceNamePointAtTheIndicator)
{
    const sim::Indicator second = sim::MakeIndicators(Options("10.77.2.5", 2, 8080))[1];
    EXPECT_EQ(sim::BaseUrl(second), "http://10.77.2.5:8081/");
    EXPECT_EQ(sim::DescriptionUrl(second), "http://10.77.2.5:8081/description.xml");
    EXPECT_EQ(sim::UniqueServiceName(second, "urn:x:device:y:1"), "uuid:" + second.guid + "::urn:x:device:y:1");
}

}  // namespace
