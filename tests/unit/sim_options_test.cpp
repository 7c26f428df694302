#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "sim_options.h"

namespace {

using sim::CommandLineOutcome;
using sim::ParseCommandLine;

std::vector<std::string> WithIp(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"--ip", "10.77.1.10"});
    return arguments;
}

TEST(SimOptions, OnlyAddressGivesDefaults)
{
    const sim::CommandLine parsed = ParseCommandLine(WithIp({}));
    ASSERT_EQ(parsed.outcome, CommandLineOutcome::kRun) << parsed.error;
    const sim::SimOptions& options = parsed.options;
    EXPECT_EQ(options.address, "10.77.1.10");
    EXPECT_EQ(options.count, 1);
    EXPECT_EQ(options.name_pattern, "scale-%d");
    EXPECT_EQ(options.max_age, 1800);
    EXPECT_EQ(options.notify_every, 30);
    EXPECT_EQ(options.mx_cap, 0);
    EXPECT_EQ(options.first_port, 80);
    EXPECT_EQ(options.device_type, kSearchTarget);
    EXPECT_FALSE(options.no_body || options.hang_http || options.oversize || options.empty || options.hold_http ||
                 options.hostile_name || options.log_times);
    EXPECT_EQ(options.slow_http_bps, 0);
    EXPECT_EQ(options.garbage, 0);
    EXPECT_EQ(options.flood_http_mb, 0);
    EXPECT_EQ(options.long_location, 0);
}

TEST(SimOptions, EveryOptionIsStored)
{
    const sim::CommandLine parsed = ParseCommandLine(WithIp(
        {"--count", "3", "--name", "line%d.hall", "--max-age=77", "--notify-every", "0", "--mx-cap", "4", "--port",
         "8080", "--type", "urn:other:device:thing:2", "--no-body", "--slow-http", "500", "--oversize", "--empty",
         "--garbage", "9", "--hold-http", "--flood-http", "100", "--hostile-name", "--long-location=5000", "--log-times"}));
    ASSERT_EQ(parsed.outcome, CommandLineOutcome::kRun) << parsed.error;
    const sim::SimOptions& options = parsed.options;
    EXPECT_EQ(options.count, 3);
    EXPECT_EQ(options.name_pattern, "line%d.hall");
    EXPECT_EQ(options.max_age, 77);
    EXPECT_EQ(options.notify_every, 0);
    EXPECT_EQ(options.mx_cap, 4);
    EXPECT_EQ(options.first_port, 8080);
    EXPECT_EQ(options.device_type, "urn:other:device:thing:2");
    EXPECT_TRUE(options.no_body && options.oversize && options.empty);
    EXPECT_EQ(options.slow_http_bps, 500);
    EXPECT_EQ(options.garbage, 9);
    EXPECT_TRUE(options.hold_http && options.hostile_name && options.log_times);
    EXPECT_EQ(options.flood_http_mb, 100);
    EXPECT_EQ(options.long_location, 5000);

    EXPECT_TRUE(ParseCommandLine(WithIp({"--hang-http"})).options.hang_http);
}

TEST(SimOptions, BadCommandLinesAreRejectedWithAReason)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* reason;
    };
    const Case cases[] = {
        {WithIp({"--colour", "red"}), "unknown option '--colour'"},
        {WithIp({"-c"}), "unknown option '-c'"},
        {WithIp({"stray"}), "unknown option 'stray'"},
        {WithIp({"--count"}), "--count needs a value"},
        {WithIp({"--count", "3x"}), "not a whole number"},
        {WithIp({"--count", ""}), "not a whole number"},
        {WithIp({"--count", "-1"}), "out of range"},
        {WithIp({"--count", "0"}), "out of range"},
        {WithIp({"--count", "1001"}), "out of range"},
        {WithIp({"--max-age", "99999999999"}), "not a whole number"},
        {WithIp({"--port", "0"}), "out of range"},
        {WithIp({"--port", "65535", "--count", "2"}), "exceed 65535"},
        {WithIp({"--slow-http", "0"}), "out of range"},
        {WithIp({"--hang-http", "--slow-http", "10"}), "exclude each other"},
        {WithIp({"--hold-http", "--hang-http"}), "--hang-http and --hold-http exclude each other"},
        {WithIp({"--hang-http", "--flood-http", "1"}), "--hang-http and --flood-http exclude each other"},
        {WithIp({"--flood-http", "0"}), "out of range"},
        {WithIp({"--flood-http", "4097"}), "out of range"},
        {WithIp({"--long-location", "0"}), "out of range"},
        {WithIp({"--long-location", "60001"}), "out of range"},
        {WithIp({"--hostile-name=yes"}), "takes no value"},
        {WithIp({"--no-body=yes"}), "takes no value"},
        {WithIp({"--name", "scale %d"}), "--name"},
        {WithIp({"--name", "scale-%s"}), "--name"},
        {WithIp({"--name", "scale-%"}), "--name"},
        {WithIp({"--name", "\"quoted\""}), "--name"},
        {WithIp({"--name", std::string(49, 'a')}), "length"},
        {WithIp({"--type", "urn:a b"}), "--type"},
        {WithIp({"--type", "<x>"}), "--type"},
        {{}, "--ip is required"},
        {{"--count", "2"}, "--ip is required"},
        {{"--ip", "10.77.1"}, "not an IPv4 address"},
        {{"--ip", "scale-1"}, "not an IPv4 address"},
        {{"--ip"}, "--ip needs a value"},
    };
    for (const Case& bad : cases) {
        const sim::CommandLine parsed = ParseCommandLine(bad.arguments);
        std::string joined;
        for (const std::string& argument : bad.arguments)
            joined += argument + " ";
        EXPECT_EQ(parsed.outcome, CommandLineOutcome::kError) << joined;
        EXPECT_NE(parsed.error.find(bad.reason), std::string::npos) << joined << "-> " << parsed.error;
    }
}

TEST(SimOptions, HelpWinsWhereverItStands)
{
    EXPECT_EQ(ParseCommandLine({"--help"}).outcome, CommandLineOutcome::kHelp);
    EXPECT_EQ(ParseCommandLine({"-h"}).outcome, CommandLineOutcome::kHelp);
    EXPECT_EQ(ParseCommandLine({"--ip", "nonsense", "--help"}).outcome, CommandLineOutcome::kHelp);
}

// Each option a user or test relies on is explained, and everything the help
// offers is accepted.
TEST(SimOptions, HelpAndParserAgree)
{
    const std::string help = sim::HelpText();
    const std::set<std::string> expected = {"--ip",        "--count",      "--name",          "--max-age",
                                            "--notify-every", "--mx-cap",  "--port",          "--type",
                                            "--no-body",   "--hang-http",  "--slow-http",     "--hold-http",
                                            "--flood-http", "--hostile-name", "--nested-description", "--long-location", "--oversize",
                                            "--empty",     "--garbage",    "--vary-location", "--log-times", "--help"};
    std::set<std::string> offered;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  --", 0) == 0)
            offered.insert(line.substr(2, line.find_first_of(" ,", 2) - 2));
    }
    EXPECT_EQ(offered, expected);

    for (const std::string& option : offered) {
        const sim::CommandLine parsed = ParseCommandLine(WithIp({option}));
        EXPECT_EQ(parsed.error.find("unknown option"), std::string::npos) << option;
    }
}

}  // namespace
