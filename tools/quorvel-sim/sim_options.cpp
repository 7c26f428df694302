#include "sim_options.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <utility>
#include <variant>

#include "name_pattern.h"

namespace sim {

namespace {

using IntField = int SimOptions::*;
using TextField = std::string SimOptions::*;
using FlagField = bool SimOptions::*;

// For an int option the bounds are its range; for a text option they bound
// its length.
struct OptionRule {
    const char* name;
    const char* value_name;
    std::variant<IntField, TextField, FlagField> field;
    int min_value;
    int max_value;
    const char* help;
};

constexpr int kMaxCount = 1000;
constexpr int kMaxPatternLength = 48;
constexpr int kMaxDeviceTypeLength = 200;
constexpr int kMaxFloodMb = 4096;
// Still fits one UDP datagram with the other headers.
constexpr int kMaxLocationLength = 60000;

const OptionRule kOptions[] = {
    {"--ip", "ADDR", &SimOptions::address, 1, 15,
     "IPv4 address of this host to announce, join\nthe group on and serve on (required)"},
    {"--count", "N", &SimOptions::count, 1, kMaxCount, "number of indicators on the address (default 1)"},
    {"--name", "PATTERN", &SimOptions::name_pattern, 1, kMaxPatternLength,
     "host names of letters, digits, '-', '.', '_';\n"
     "each %d becomes the indicator number 1..N; without\n"
     "%d and with N > 1, -NUMBER is appended (default scale-%d)"},
    {"--max-age", "S", &SimOptions::max_age, 0, 31536000, "CACHE-CONTROL max-age in seconds (default 1800)"},
    {"--notify-every", "S", &SimOptions::notify_every, 0, 86400,
     "seconds between ssdp:alive rounds; 0 = only at\nstart (default 30)"},
    {"--mx-cap", "S", &SimOptions::mx_cap, 0, 120,
     "search answers wait a random time in\n[0, min(MX, S)] seconds (default 0)"},
    {"--port", "P", &SimOptions::first_port, 1, 65535,
     "HTTP port of indicator 1; indicator K uses P+K-1 (default 80)"},
    {"--log-times", nullptr, &SimOptions::log_times, 0, 0,
     "every event line starts with the seconds of\nthe monotonic clock, which all network\nnamespaces share"},
    {"--type", "URN", &SimOptions::device_type, 1, kMaxDeviceTypeLength,
     "use this device type in NT, ST, USN and the\ndescription instead of the indicator's"},
    {"--no-body", nullptr, &SimOptions::no_body, 0, 0,
     "description answer without the empty line\nbetween headers and body"},
    {"--hang-http", nullptr, &SimOptions::hang_http, 0, 0, "accept HTTP connections, never answer, keep\nthem open"},
    {"--slow-http", "BPS", &SimOptions::slow_http_bps, 1, 100000000, "send HTTP answers at BPS bytes per second"},
    {"--hold-http", nullptr, &SimOptions::hold_http, 0, 0, "answer HTTP requests, then keep the\nconnection open"},
    {"--flood-http", "MB", &SimOptions::flood_http_mb, 1, kMaxFloodMb,
     "every HTTP answer's body goes on with MB MiB\nof filler (Content-Length counts it)"},
    {"--hostile-name", nullptr, &SimOptions::hostile_name, 0, 0,
     "the host name in the description is HTML\nwith quotes and ampersands"},
    {"--nested-description", nullptr, &SimOptions::nested_description, 0, 0,
     "the description's elements stand each inside\nthe one before, with 4 KiB of text in each"},
    {"--long-location", "N", &SimOptions::long_location, 1, kMaxLocationLength,
     "LOCATION padded with a query to N characters"},
    {"--vary-location", nullptr, &SimOptions::vary_location, 0, 0,
     "every announcement and answer names another\nLOCATION: a query with a new number"},
    {"--oversize", nullptr, &SimOptions::oversize, 0, 0, "send one 1501-byte datagram to the group at\nstart"},
    {"--empty", nullptr, &SimOptions::empty, 0, 0, "send one zero-length datagram to the group at\nstart"},
    {"--garbage", "N", &SimOptions::garbage, 0, kMaxCount,
     "send N malformed datagrams to the group at\nstart, among them announcements with NUL\nbytes and bare LF line ends"},
};

const OptionRule* FindOption(const std::string& name)
{
    for (const OptionRule& rule : kOptions) {
        if (name == rule.name)
            return &rule;
    }
    return nullptr;
}

std::string RangeError(const OptionRule& rule, const std::string& what)
{
    return std::string("option ") + rule.name + ": " + what + " (allowed " + std::to_string(rule.min_value) +
           ".." + std::to_string(rule.max_value) + ")";
}

std::string StoreInt(const OptionRule& rule, IntField field, const std::string& value, SimOptions& options)
{
    int number = 0;
    const char* end = value.data() + value.size();
    auto [stop, failure] = std::from_chars(value.data(), end, number);
    if (value.empty() || failure != std::errc() || stop != end)
        return std::string("option ") + rule.name + ": '" + value + "' is not a whole number";
    if (number < rule.min_value || number > rule.max_value)
        return RangeError(rule, std::to_string(number) + " is out of range");
    options.*field = number;
    return {};
}

std::string StoreText(const OptionRule& rule, TextField field, const std::string& value, SimOptions& options)
{
    const int length = static_cast<int>(value.size());
    if (length < rule.min_value || length > rule.max_value)
        return std::string("option ") + rule.name + ": value length must be " + std::to_string(rule.min_value) +
               ".." + std::to_string(rule.max_value);
    options.*field = value;
    return {};
}

bool IsIpv4Address(const std::string& text)
{
    in_addr parsed{};
    return inet_pton(AF_INET, text.c_str(), &parsed) == 1;
}

// The device type goes verbatim into headers and XML.
bool IsPlainDeviceType(const std::string& type)
{
    for (char c : type) {
        if (c <= ' ' || c > '~' || c == '<' || c == '>' || c == '&' || c == '"' || c == '\'')
            return false;
    }
    return true;
}

// A device that never answers has no answer to slow down, pad or hold.
std::string CheckHangExclusions(const SimOptions& options)
{
    if (!options.hang_http)
        return {};
    const std::pair<bool, const char*> answer_faults[] = {
        {options.slow_http_bps > 0, "--slow-http"}, {options.hold_http, "--hold-http"},
        {options.flood_http_mb > 0, "--flood-http"}};
    for (const auto& [set, name] : answer_faults) {
        if (set)
            return std::string("options --hang-http and ") + name + " exclude each other";
    }
    return {};
}

std::string CheckCombination(const SimOptions& options)
{
    if (options.address.empty())
        return "option --ip is required";
    if (!IsIpv4Address(options.address))
        return "option --ip: '" + options.address + "' is not an IPv4 address";
    if (!IsValidNamePattern(options.name_pattern))
        return "option --name: '" + options.name_pattern +
               "' may hold only letters, digits, '-', '.', '_' and %d";
    if (!IsPlainDeviceType(options.device_type))
        return "option --type: '" + options.device_type + "' may hold only printable characters other than "
               "blanks, quotes, '<', '>' and '&'";
    if (options.first_port + options.count - 1 > 65535)
        return "options --port and --count: the last indicator's port would exceed 65535";
    return CheckHangExclusions(options);
}

CommandLine Failure(std::string error)
{
    CommandLine result;
    result.outcome = CommandLineOutcome::kError;
    result.error = std::move(error);
    return result;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string inline_value;
        bool has_inline_value = false;
        if (size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            inline_value = name.substr(equals + 1);
            name.resize(equals);
            has_inline_value = true;
        }
        if (name == "--help" || name == "-h") {
            result.outcome = CommandLineOutcome::kHelp;
            return result;
        }
        const OptionRule* rule = FindOption(name);
        if (!rule)
            return Failure("unknown option '" + arguments[i] + "'");

        if (std::holds_alternative<FlagField>(rule->field)) {
            if (has_inline_value)
                return Failure(std::string("option ") + rule->name + " takes no value");
            result.options.*std::get<FlagField>(rule->field) = true;
            continue;
        }
        if (!has_inline_value) {
            if (i + 1 == arguments.size())
                return Failure(std::string("option ") + rule->name + " needs a value " + rule->value_name);
            inline_value = arguments[++i];
        }
        std::string error = std::holds_alternative<IntField>(rule->field)
                                ? StoreInt(*rule, std::get<IntField>(rule->field), inline_value, result.options)
                                : StoreText(*rule, std::get<TextField>(rule->field), inline_value, result.options);
        if (!error.empty())
            return Failure(error);
    }
    if (std::string error = CheckCombination(result.options); !error.empty())
        return Failure(error);
    result.outcome = CommandLineOutcome::kRun;
    return result;
}

std::string HelpText()
{
    std::string text =
        "Usage: quorvel-sim --ip ADDR [options]\n"
        "Imitates networked weighing indicators on one IPv4 address: answers SSDP\n"
        "searches, sends ssdp:alive/byebye and serves each indicator's description\n"
        "at http://ADDR:PORT/description.xml. Prints one line per event and READY\n"
        "on standard error; SIGINT or SIGTERM sends ssdp:byebye and exits 0.\n"
        "\nOptions:\n";
    for (const OptionRule& rule : kOptions) {
        std::string head = std::string("  ") + rule.name + (rule.value_name ? std::string(" ") + rule.value_name : "");
        std::string help = rule.help;
        for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
            help.insert(at + 1, 24, ' ');
        head.resize(std::max<size_t>(head.size() + 2, 24), ' ');
        text += head + help + "\n";
    }
    text +=
        "  --help, -h            show this text\n"
        "\nHTTP paths: /description.xml, /ping, /, /backup.html; others answer 404.\n"
        "Exit codes: 0 after a signal or --help, 1 when a socket cannot be set up,\n"
        "2 for a bad command line.\n";
    return text;
}

}  // namespace sim
