#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/command_line_switches.h"
#include "ui/program_options.h"

namespace {

using Arguments = std::vector<std::string>;

std::string Joined(const Arguments& arguments)
{
    std::string line;
    for (const std::string& argument : arguments)
        line += (line.empty() ? "" : " ") + argument;
    return line;
}

// No argument but a malformed known option stops start-up; whatever else
// there is, "--" or not, is left to the switch rule.
TEST(ProgramOptionsTest, OtherArgumentsRunTheWindowAndAreLeftToTheSwitches)
{
    const struct {
        Arguments arguments;
        const char* switchesOn;
    } cases[] = {
        {{}, ""},
        {{"/X", "-L", "/Vnc"}, "XLV"},
        {{"-", "foo", "-list"}, ""},
        {{"--X"}, "X"},
        {{"--lsit", "--bogus=1", "--", "--list=yes", "--secondsx"}, ""},
        {{"--LIST"}, "L"},
        {{"-reverse", "-platform", "xcb", "-style", "fusion"}, ""},
    };
    for (const auto& [arguments, switchesOn] : cases) {
        const std::string argumentText = Joined(arguments);
        EXPECT_EQ(ParseProgramOptions(arguments).mode, RunMode::kWindow) << argumentText;
        const std::string line = "quorvel " + argumentText;
        for (char letter : {'X', 'L', 'V'}) {
            const bool expected = std::string(switchesOn).find(letter) != std::string::npos;
            EXPECT_EQ(HasSwitch(line.c_str(), argumentText.c_str(), letter), expected) << letter << " in " << line;
        }
    }
}

TEST(ProgramOptionsTest, AllInterfacesGoesWithTheWindowAndWithList)
{
    const ProgramOptions window = ParseProgramOptions({"/X", "--all-interfaces"});
    EXPECT_EQ(window.mode, RunMode::kWindow);
    EXPECT_TRUE(window.all_interfaces);
    const ProgramOptions list = ParseProgramOptions({"--all-interfaces", "--list", "--seconds=2"});
    EXPECT_EQ(list.mode, RunMode::kList);
    EXPECT_TRUE(list.all_interfaces);
    EXPECT_FALSE(ParseProgramOptions({"--list"}).all_interfaces);
    EXPECT_FALSE(ParseProgramOptions({"--all-interfaces=yes"}).all_interfaces);
}

TEST(ProgramOptionsTest, ListAndWatchTakeTheirSecondsInBothFormsAndJson)
{
    const struct {
        Arguments arguments;
        RunMode mode;
        int seconds;
        int searchEvery;
        bool json;
    } cases[] = {
        {{"--list"}, RunMode::kList, 5, 0, false},
        {{"/L", "--seconds", "12", "--list", "--json"}, RunMode::kList, 12, 0, true},
        {{"--list", "--seconds=3600"}, RunMode::kList, 3600, 0, false},
        {{"--list", "--seconds", "1"}, RunMode::kList, 1, 0, false},
        {{"--watch"}, RunMode::kWatch, 5, 0, false},
        {{"--search-every", "10", "/L", "--watch", "--json"}, RunMode::kWatch, 5, 10, true},
        {{"--watch", "--search-every=86400"}, RunMode::kWatch, 5, 86400, false},
    };
    for (const auto& [arguments, mode, seconds, searchEvery, json] : cases) {
        const ProgramOptions options = ParseProgramOptions(arguments);
        EXPECT_EQ(options.mode, mode) << Joined(arguments);
        EXPECT_EQ(options.seconds, seconds) << Joined(arguments);
        EXPECT_EQ(options.search_every, searchEvery) << Joined(arguments);
        EXPECT_EQ(options.json, json) << Joined(arguments);
    }
}

TEST(ProgramOptionsTest, HelpAndVersionWinOverEverythingElseThatIsValid)
{
    EXPECT_EQ(ParseProgramOptions({"--list", "--help", "--version"}).mode, RunMode::kHelp);
    EXPECT_EQ(ParseProgramOptions({"--version", "--list"}).mode, RunMode::kVersion);
    EXPECT_EQ(ParseProgramOptions({"--help", "--bogus"}).mode, RunMode::kHelp);
    EXPECT_EQ(ParseProgramOptions({"--help", "--list", "--seconds=0"}).mode, RunMode::kBadOptions);
}

TEST(ProgramOptionsTest, BadOptionsAreRefusedWithTheReason)
{
    const struct {
        Arguments arguments;
        const char* problem;
    } cases[] = {
        {{"--list", "--seconds"}, "--seconds needs a number of seconds"},
        {{"--list", "--seconds", "0"}, "--seconds needs a whole number from 1 to 3600, not '0'"},
        {{"--list", "--seconds", "3601"}, "--seconds needs a whole number from 1 to 3600, not '3601'"},
        {{"--list", "--seconds=99999999999"}, "--seconds needs a whole number from 1 to 3600, not '99999999999'"},
        {{"--list", "--seconds=5s"}, "--seconds needs a whole number from 1 to 3600, not '5s'"},
        {{"--list", "--seconds", "+5"}, "--seconds needs a whole number from 1 to 3600, not '+5'"},
        {{"--list", "--seconds="}, "--seconds needs a whole number from 1 to 3600, not ''"},
        {{"--list", "--seconds", "--json"}, "--seconds needs a whole number from 1 to 3600, not '--json'"},
        {{"--json"}, "--json goes with --list or --watch"},
        {{"--seconds", "5"}, "--seconds goes with --list"},
        {{"--watch", "--seconds", "5"}, "--seconds goes with --list"},
        {{"--list", "--watch"}, "--list and --watch exclude each other"},
        {{"--search-every", "60"}, "--search-every goes with --watch"},
        {{"--list", "--search-every=60"}, "--search-every goes with --watch"},
        {{"--watch", "--search-every"}, "--search-every needs a number of seconds"},
        {{"--watch", "--search-every", "9"}, "--search-every needs a whole number from 10 to 86400, not '9'"},
        {{"--watch", "--search-every=86401"}, "--search-every needs a whole number from 10 to 86400, not '86401'"},
    };
    for (const auto& [arguments, problem] : cases) {
        const ProgramOptions options = ParseProgramOptions(arguments);
        EXPECT_EQ(options.mode, RunMode::kBadOptions) << arguments.back();
        EXPECT_EQ(options.problem, problem);
    }
}

// The switches are plain substrings of the whole command line, so a long
// option that contained "-L", "-V" or "-X" would turn one on by itself.
TEST(ProgramOptionsTest, NoLongOptionTurnsOnASwitch)
{
    const char* line = "quorvel --list --seconds=5 --json --help --version --all-interfaces --watch --search-every=10";
    const char* arguments = line + 8;
    for (char letter : {'L', 'V', 'X'})
        EXPECT_FALSE(HasSwitch(line, arguments, letter)) << letter;
    const std::string usage = UsageText();
    for (const char* option : {"--list", "--seconds N", "--watch", "--search-every N", "--json", "--help", "--version",
                               "--all-interfaces", "/V", "/X", "/L"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
