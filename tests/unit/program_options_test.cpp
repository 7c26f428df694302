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

TEST(ProgramOptionsTest, ListModeTakesSecondsInBothFormsAndJson)
{
    const ProgramOptions plain = ParseProgramOptions({"--list"});
    EXPECT_EQ(plain.mode, RunMode::kList);
    EXPECT_EQ(plain.seconds, 5);
    EXPECT_FALSE(plain.json);

    const ProgramOptions separate = ParseProgramOptions({"/L", "--seconds", "12", "--list", "--json"});
    EXPECT_EQ(separate.mode, RunMode::kList);
    EXPECT_EQ(separate.seconds, 12);
    EXPECT_TRUE(separate.json);

    EXPECT_EQ(ParseProgramOptions({"--list", "--seconds=3600"}).seconds, 3600);
    EXPECT_EQ(ParseProgramOptions({"--list", "--seconds", "1"}).seconds, 1);
}

TEST(ProgramOptionsTest, WatchModeTakesSearchEveryInBothFormsAndJson)
{
    const ProgramOptions plain = ParseProgramOptions({"--watch"});
    EXPECT_EQ(plain.mode, RunMode::kWatch);
    EXPECT_EQ(plain.search_every, 0);
    EXPECT_FALSE(plain.json);

    const ProgramOptions every = ParseProgramOptions({"--search-every", "10", "/L", "--watch", "--json"});
    EXPECT_EQ(every.mode, RunMode::kWatch);
    EXPECT_EQ(every.search_every, 10);
    EXPECT_TRUE(every.json);
    EXPECT_EQ(ParseProgramOptions({"--watch", "--search-every=86400"}).search_every, 86400);
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
