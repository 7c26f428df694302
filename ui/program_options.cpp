#include "ui/program_options.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "ui/version_text.h"

namespace {

constexpr std::string_view kSecondsOption = "--seconds";

struct Seen {
    bool list = false;
    bool json = false;
    bool seconds = false;
    bool help = false;
    bool version = false;
    bool allInterfaces = false;
};

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

// Digits only, so "+5", " 5" and "5s" are refused rather than half read.
bool ParseSeconds(const std::string& text, int& seconds)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    seconds = std::stoi(text);
    return seconds >= 1 && seconds <= kMaxListSeconds;
}

std::string SecondsProblem(const std::string& value)
{
    return "--seconds needs a whole number from 1 to " + std::to_string(kMaxListSeconds) + ", not '" + value + "'";
}

constexpr std::pair<std::string_view, bool Seen::*> kFlagOptions[] = {
    {"--list", &Seen::list},
    {"--json", &Seen::json},
    {"--help", &Seen::help},
    {"--version", &Seen::version},
    {"--all-interfaces", &Seen::allInterfaces},
};

// The value of --seconds: glued on with "=", or the next argument.
std::optional<std::string> SecondsValue(const std::vector<std::string>& arguments, size_t& index)
{
    const std::string& argument = arguments[index];
    if (argument.size() > kSecondsOption.size())
        return argument.substr(kSecondsOption.size() + 1);
    if (index + 1 < arguments.size())
        return arguments[++index];
    return std::nullopt;
}

// Reads the option at arguments[index], and its value if it takes one;
// returns an empty text or what is wrong. An argument that names no option
// is the switches' business, whatever it looks like.
std::string ReadOption(const std::vector<std::string>& arguments, size_t& index, Seen& seen, ProgramOptions& options)
{
    const std::string& argument = arguments[index];
    for (const auto& [name, flag] : kFlagOptions) {
        if (argument == name) {
            seen.*flag = true;
            return {};
        }
    }
    if (argument != kSecondsOption && !StartsWith(argument, std::string(kSecondsOption) + "="))
        return {};
    seen.seconds = true;
    const std::optional<std::string> value = SecondsValue(arguments, index);
    if (!value)
        return "--seconds needs a number of seconds";
    return ParseSeconds(*value, options.seconds) ? std::string() : SecondsProblem(*value);
}

ProgramOptions BadOptions(std::string problem)
{
    ProgramOptions options;
    options.mode = RunMode::kBadOptions;
    options.problem = std::move(problem);
    return options;
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments)
{
    ProgramOptions options;
    Seen seen;
    for (size_t index = 0; index < arguments.size(); ++index) {
        if (!StartsWith(arguments[index], "--"))
            continue;
        std::string problem = ReadOption(arguments, index, seen, options);
        if (!problem.empty())
            return BadOptions(std::move(problem));
    }
    options.json = seen.json;
    options.all_interfaces = seen.allInterfaces;
    if (seen.help)
        options.mode = RunMode::kHelp;
    else if (seen.version)
        options.mode = RunMode::kVersion;
    else if (seen.list)
        options.mode = RunMode::kList;
    else if (seen.json || seen.seconds)
        return BadOptions("--json and --seconds go with --list");
    return options;
}

const char* UsageText()
{
    return "Usage: quorvel [--all-interfaces] [/V] [/X] [/L]\n"
           "       quorvel --list [--seconds N] [--json] [--all-interfaces] [/L]\n"
           "       quorvel --help | --version\n"
           "\n"
           "Finds the weighing indicators on the local networks with SSDP.\n"
           "\n"
           "  /V            a double-click on a row starts the VNC viewer\n"
           "  /X            shows the buttons Show Scales, Telnet and Backup\n"
           "  /L            also writes the diagnostic log to quorvel.log in the\n"
           "                temporary directory\n"
           "  --all-interfaces\n"
           "                searches and listens on every connected network, not\n"
           "                only the one with the default route: for a PC that is\n"
           "                also cabled into a scale network without a gateway\n"
           "  --list        shows no window: searches for N seconds, then prints one\n"
           "                tab-separated line per indicator after a header line\n"
           "  --seconds N   how long --list searches, 1 to 3600 (default 5)\n"
           "  --json        with --list, prints a JSON array of objects instead\n"
           "  --help        prints this text\n"
           "  --version     prints the version\n"
           "\n"
           "Switches are found anywhere in the command line, also in the dash form\n"
           "(-V, -X, -L) and inside other arguments (--X turns /X on); lower case\n"
           "never matches. Arguments that are neither options nor switches are\n"
           "ignored; the toolkit reads none of them (use its QT_* variables).\n"
           "Exit status: 0 done (with --list: indicators listed), 3 none listed,\n"
           "1 start-up failure, 2 a bad --seconds, or --json or --seconds without\n"
           "--list.\n";
}

std::optional<int> AnswerWithoutRunning(const ProgramOptions& options)
{
    switch (options.mode) {
    case RunMode::kHelp:
        std::fputs(UsageText(), stdout);
        return kExitDone;
    case RunMode::kVersion:
        std::printf("%s\n", kVersionText);
        return kExitDone;
    case RunMode::kBadOptions:
        std::fprintf(stderr, "quorvel: %s\nTry 'quorvel --help' for the options.\n", options.problem.c_str());
        return kExitBadOptions;
    default:
        return std::nullopt;
    }
}
