#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/command_line_switches.h"
#include "ui/program_options.h"

namespace {

using Arguments = std::vector<std::string>;

TEST(ProgramOptionsTest, WithoutLongOptionsTheWindowRunsAndOtherArgumentsAreLeftToTheSwitches)
{
    for (const Arguments& arguments : {Arguments{}, Arguments{"/X", "-L", "/Vnc"}, Arguments{"-", "foo", "-list"}})
        EXPECT_EQ(ParseProgramOptions(arguments).mode, RunMode::kWindow);
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

TEST(ProgramOptionsTest, HelpAndVersionWinOverEverythingElseThatIsValid)
{
    EXPECT_EQ(ParseProgramOptions({"--list", "--help", "--version"}).mode, RunMode::kHelp);
    EXPECT_EQ(ParseProgramOptions({"--version", "--list"}).mode, RunMode::kVersion);
    EXPECT_EQ(ParseProgramOptions({"--help", "--bogus"}).mode, RunMode::kBadOptions);
}

TEST(ProgramOptionsTest, BadOptionsAreRefusedWithTheReason)
{
    const struct {
        Arguments arguments;
        const char* problem;
    } cases[] = {
        {{"--lsit"}, "unknown option '--lsit'"},
        {{"--LIST"}, "unknown option '--LIST'"},
        {{"--"}, "unknown option '--'"},
        {{"--list", "--seconds"}, "--seconds needs a number of seconds"},
        {{"--list", "--seconds", "0"}, "--seconds needs a whole number from 1 to 3600, not '0'"},
        {{"--list", "--seconds", "3601"}, "--seconds needs a whole number from 1 to 3600, not '3601'"},
        {{"--list", "--seconds=99999999999"}, "--seconds needs a whole number from 1 to 3600, not '99999999999'"},
        {{"--list", "--seconds=5s"}, "--seconds needs a whole number from 1 to 3600, not '5s'"},
        {{"--list", "--seconds", "+5"}, "--seconds needs a whole number from 1 to 3600, not '+5'"},
        {{"--list", "--seconds="}, "--seconds needs a whole number from 1 to 3600, not ''"},
        {{"--list", "--seconds", "--json"}, "--seconds needs a whole number from 1 to 3600, not '--json'"},
        {{"--json"}, "--json and --seconds go with --list"},
        {{"--seconds", "5"}, "--json and --seconds go with --list"},
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
    const char* line = "quorvel --list --seconds=5 --json --help --version";
    const char* arguments = line + 8;
    for (char letter : {'L', 'V', 'X'})
        EXPECT_FALSE(HasSwitch(line, arguments, letter)) << letter;
    const std::string usage = UsageText();
    for (const char* option : {"--list", "--seconds N", "--json", "--help", "--version", "/V", "/X", "/L"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
