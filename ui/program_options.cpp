#include "ui/program_options.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "ui/version_text.h"

namespace {

struct Seen {
    bool list = false;
    bool watch = false;
    bool json = false;
    bool seconds = false;
    bool searchEvery = false;
    bool help = false;
    bool version = false;
    bool allInterfaces = false;
};

// An option that takes a whole number of seconds within bounds.
struct SecondsOption {
    std::string_view name;
    int minimum;
    int maximum;
    int ProgramOptions::*value;
    bool Seen::*seen;
};

constexpr SecondsOption kSecondsOptions[] = {
    {"--seconds", 1, kMaxListSeconds, &ProgramOptions::seconds, &Seen::seconds},
    {"--search-every", kMinSearchEvery, kMaxSearchEvery, &ProgramOptions::search_every, &Seen::searchEvery},
};

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

// Digits only, so "+5", " 5" and "5s" are refused rather than half read.
bool ParseSeconds(const std::string& text, const SecondsOption& option, int& seconds)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    seconds = std::stoi(text);
    return seconds >= option.minimum && seconds <= option.maximum;
}

std::string SecondsProblem(const SecondsOption& option, const std::string& value)
{
    return std::string(option.name) + " needs a whole number from " + std::to_string(option.minimum) + " to " +
           std::to_string(option.maximum) + ", not '" + value + "'";
}

constexpr std::pair<std::string_view, bool Seen::*> kFlagOptions[] = {
    {"--list", &Seen::list},
    {"--watch", &Seen::watch},
    {"--json", &Seen::json},
    {"--help", &Seen::help},
    {"--version", &Seen::version},
    {"--all-interfaces", &Seen::allInterfaces},
};

const SecondsOption* FindSecondsOption(const std::string& argument)
{
    for (const SecondsOption& option : kSecondsOptions) {
        if (argument == option.name || StartsWith(argument, std::string(option.name) + "="))
            return &option;
    }
    return nullptr;
}

// The value of a seconds option: glued on with "=", or the next argument.
std::optional<std::string> SecondsValue(const SecondsOption& option, const std::vector<std::string>& arguments,
                                        size_t& index)
{
    const std::string& argument = arguments[index];
    if (argument.size() > option.name.size())
        return argument.substr(option.name.size() + 1);
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
    const SecondsOption* option = FindSecondsOption(argument);
    if (!option)
        return {};
    seen.*option->seen = true;
    const std::optional<std::string> value = SecondsValue(*option, arguments, index);
    if (!value)
        return std::string(option->name) + " needs a number of seconds";
    return ParseSeconds(*value, *option, options.*option->value) ? std::string() : SecondsProblem(*option, *value);
}

// What is wrong with a combination of valid options, or an empty text.
std::string CombinationProblem(const Seen& seen)
{
    if (seen.list && seen.watch)
        return "--list and --watch exclude each other";
    if (seen.seconds && !seen.list)
        return "--seconds goes with --list";
    if (seen.searchEvery && !seen.watch)
        return "--search-every goes with --watch";
    if (seen.json && !seen.list && !seen.watch)
        return "--json goes with --list or --watch";
    return {};
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
    if (seen.help) {
        options.mode = RunMode::kHelp;
    } else if (seen.version) {
        options.mode = RunMode::kVersion;
    } else if (std::string problem = CombinationProblem(seen); !problem.empty()) {
        return BadOptions(std::move(problem));
    } else if (seen.list) {
        options.mode = RunMode::kList;
    } else if (seen.watch) {
        options.mode = RunMode::kWatch;
    }
    return options;
}

const char* UsageText()
{
    return "Usage: quorvel [--all-interfaces] [/V] [/X] [/L]\n"
           "       quorvel --list [--seconds N] [--json] [--all-interfaces] [/L]\n"
           "       quorvel --watch [--search-every N] [--json] [--all-interfaces] [/L]\n"
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
           "  --watch       shows no window: prints a line for each change of a row\n"
           "                as it happens (time, event, the fields of --list), until\n"
           "                SIGINT or SIGTERM\n"
           "  --search-every N\n"
           "                with --watch, searches again every N seconds, 10 to\n"
           "                86400 (default: only at the start)\n"
           "  --json        with --list, prints a JSON array of objects instead;\n"
           "                with --watch, one JSON object per line\n"
           "  --help        prints this text\n"
           "  --version     prints the version\n"
           "\n"
           "Switches are found anywhere in the command line, also in the dash form\n"
           "(-V, -X, -L) and inside other arguments (--X turns /X on); lower case\n"
           "never matches. Arguments that are neither options nor switches are\n"
           "ignored; the toolkit reads none of them (use its QT_* variables).\n"
           "Exit status: 0 done (with --list: indicators listed; --watch ends with 0\n"
           "on a signal or when its reader goes away), 3 none listed, 1 start-up\n"
           "failure (or --watch could not write), 2 bad options: a bad --seconds or\n"
           "--search-every, --list with --watch, --json without --list or --watch,\n"
           "--seconds without --list, --search-every without --watch.\n";
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
