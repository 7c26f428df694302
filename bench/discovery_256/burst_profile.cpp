#include "burst_profile.h"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace bench {

namespace {

constexpr char kSearchSent[] = "SendDiscover:SentTo(";
constexpr char kDatagram[] = "OnReceive(";
constexpr char kAlive[] = "OnAlive(";
constexpr char kFetchStep[] = "GetUrl";
constexpr char kFetch[] = "GetUrl(";
constexpr char kSocketReady[] = "GetUrl::TryConnect(";
constexpr char kConnected[] = "GetUrl::Connected";

// "GetUrl(url)=123": the byte count after the last ")=", if the line ends so.
std::optional<long> FetchEndBytes(const std::string& text)
{
    const size_t mark = text.rfind(")=");
    if (mark == std::string::npos || mark + 2 == text.size())
        return std::nullopt;
    const std::string digits = text.substr(mark + 2);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::strtol(digits.c_str(), nullptr, 10);
}

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// Fetches never overlap: the program runs each one to its end before it
// handles anything else, so the lines of one fetch are consecutive in time.
void ReadFetchLine(const TimedLine& line, std::optional<Fetch>& open, std::vector<Fetch>& done)
{
    if (StartsWith(line.text, kSocketReady)) {
        if (open)
            open->socketReady = line.at;
    } else if (line.text == kConnected) {
        if (open)
            open->connected = line.at;
    } else if (!StartsWith(line.text, kFetch)) {
        return;  // the steps of a fetch in between
    } else if (std::optional<long> bytes = FetchEndBytes(line.text)) {
        if (!open)
            return;
        open->end = line.at;
        open->bytes = *bytes;
        done.push_back(*open);
        open.reset();
    } else {
        const size_t urlLength = line.text.size() - sizeof kFetch;  // without "GetUrl(" and ")"
        open = Fetch{line.at, std::nullopt, std::nullopt, line.at, 0, line.text.substr(sizeof kFetch - 1, urlLength)};
    }
}

void ReadLine(const TimedLine& line, std::optional<Fetch>& open, BurstProfile& profile)
{
    if (StartsWith(line.text, kSearchSent))
        profile.searches.push_back(line.at);
    else if (StartsWith(line.text, kDatagram))
        profile.datagrams.push_back(line.at);
    else if (StartsWith(line.text, kAlive))
        ++profile.alives;
    else if (StartsWith(line.text, kFetchStep))
        ReadFetchLine(line, open, profile.fetches);
}

}  // namespace

BurstProfile ProfileBurst(const std::vector<TimedLine>& lines)
{
    BurstProfile profile;
    std::optional<Fetch> open;
    for (const TimedLine& line : lines)
        ReadLine(line, open, profile);
    return profile;
}

FetchStats SummarizeFetches(const std::vector<Fetch>& fetches)
{
    FetchStats stats;
    long phased = 0;
    for (const Fetch& fetch : fetches) {
        const double ms = Ms(fetch.end - fetch.start);
        stats.totalMs += ms;
        stats.maxMs = std::max(stats.maxMs, ms);
        if (fetch.bytes == 0)
            ++stats.failed;
        if (!fetch.socketReady || !fetch.connected)
            continue;
        ++phased;
        stats.meanSetupMs += Ms(*fetch.socketReady - fetch.start);
        stats.meanConnectMs += Ms(*fetch.connected - *fetch.socketReady);
        stats.meanTransferMs += Ms(fetch.end - *fetch.connected);
    }
    if (!fetches.empty())
        stats.meanMs = stats.totalMs / static_cast<double>(fetches.size());
    if (phased > 0) {
        stats.meanSetupMs /= static_cast<double>(phased);
        stats.meanConnectMs /= static_cast<double>(phased);
        stats.meanTransferMs /= static_cast<double>(phased);
    }
    return stats;
}

namespace {

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::optional<Clock::time_point> NextDatagram(const BurstProfile& profile, Clock::time_point after)
{
    auto next = std::upper_bound(profile.datagrams.begin(), profile.datagrams.end(), after);
    return next == profile.datagrams.end() ? std::nullopt : std::optional(*next);
}

}  // namespace

RowCosts MeasureRowCosts(const BurstProfile& profile)
{
    std::set<std::string> listed;
    std::vector<double> newRows;
    std::vector<double> repeats;
    for (const Fetch& fetch : profile.fetches) {
        const std::optional<Clock::time_point> next = NextDatagram(profile, fetch.end);
        const bool isNew = listed.insert(fetch.url).second;
        if (next)
            (isNew ? newRows : repeats).push_back(Ms(*next - fetch.end));
    }
    RowCosts costs;
    costs.newRows = static_cast<long>(newRows.size());
    costs.repeats = static_cast<long>(repeats.size());
    costs.newRowMs = Median({newRows.begin() + static_cast<long>(newRows.size() * 3 / 4), newRows.end()});
    costs.repeatMs = Median(repeats);
    return costs;
}

long FetchesEndedBy(const std::vector<Fetch>& fetches, Clock::time_point moment)
{
    return static_cast<long>(
        std::count_if(fetches.begin(), fetches.end(), [moment](const Fetch& fetch) { return fetch.end <= moment; }));
}

long DatagramsWithin(const BurstProfile& profile, Clock::time_point from, Clock::time_point to)
{
    return static_cast<long>(std::count_if(profile.datagrams.begin(), profile.datagrams.end(),
                                           [from, to](Clock::time_point at) { return at >= from && at <= to; }));
}

double FetchMsWithin(const std::vector<Fetch>& fetches, Clock::time_point from, Clock::time_point to)
{
    double total = 0;
    for (const Fetch& fetch : fetches) {
        const Clock::time_point start = std::max(fetch.start, from);
        const Clock::time_point end = std::min(fetch.end, to);
        if (end > start)
            total += Ms(end - start);
    }
    return total;
}

}  // namespace bench
