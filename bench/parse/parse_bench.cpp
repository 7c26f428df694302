// Parse throughput: ParseSsdpMessage and the GetHeader look-ups the program
// makes, over the simulator's own messages, in-process. Each datagram is
// first copied into a receive-sized buffer, as the socket leaves it there,
// because the parser splits the text in place.
//
//   quorvel-parse-bench [RUNS] [DATAGRAMS_PER_RUN]
//
// RUNS defaults to BENCH_RUNS from the environment, else 5.
// Prints, per message kind and for an even mix of them, the median and best
// datagrams per second over the runs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "http_request.h"
#include "indicator.h"
#include "indicator_site.h"
#include "ssdp/ssdp_message.h"
#include "ssdp_datagrams.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxRuns = 20;
constexpr long kMaxDatagrams = 100000000;
// The headers the dispatch and the alive handling ask for.
const char* const kLookedUp[] = {"NTS", "NT", "ST", "USN", "LOCATION", "CACHE-CONTROL"};

struct Message {
    std::string kind;
    std::string text;
};

std::string MSearch()
{
    char request[512];
    const int length = ComposeMSearch(request, sizeof request, kSearchTarget);
    return std::string(request, length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<Message> SimulatorMessages()
{
    sim::SimOptions options;
    options.address = "10.77.1.10";
    const sim::Indicator indicator = sim::MakeIndicators(options).front();
    const sim::Announcement announcement = sim::AnnouncementFor(options);
    const sim::SiteOptions site{kSearchTarget, false};
    return {
        {"alive NOTIFY", sim::ComposeAliveNotify(indicator, announcement)},
        {"byebye NOTIFY", sim::ComposeByebyeNotify(indicator, announcement)},
        {"search answer", sim::ComposeSearchAnswer(indicator, announcement)},
        {"M-SEARCH", MSearch()},
        {"description response",
         sim::AnswerRequest(sim::HttpRequest{"GET", sim::kDescriptionPath}, indicator, site).bytes},
    };
}

// Parses count datagrams, cycling through messages; returns datagrams per
// second. The sum of the header lengths keeps the work from being optimised
// away.
double Throughput(const std::vector<const Message*>& messages, long count, size_t& sink)
{
    static char buffer[64 * 1024];
    const Clock::time_point start = Clock::now();
    for (long i = 0; i < count; ++i) {
        const std::string& text = messages[static_cast<size_t>(i) % messages.size()]->text;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        SsdpMessage message;
        ParseSsdpMessage(message, buffer);
        for (const char* name : kLookedUp) {
            if (const char* value = GetHeader(message, name))
                sink += std::strlen(value);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return static_cast<double>(count) / seconds;
}

void Report(const std::string& kind, const std::vector<const Message*>& messages, int runs, long count,
            size_t& sink)
{
    std::vector<double> rates;
    for (int run = 0; run < runs; ++run)
        rates.push_back(Throughput(messages, count, sink));
    std::sort(rates.begin(), rates.end());
    const double median = runs % 2 ? rates[runs / 2] : (rates[runs / 2 - 1] + rates[runs / 2]) / 2;
    std::printf("  %-30s median %9.0f, best %9.0f datagrams/s (%.0f ns each)\n", kind.c_str(), median,
                rates.back(), 1e9 / median);
}

}  // namespace

int main(int argc, char** argv)
{
    const char* benchRuns = std::getenv("BENCH_RUNS");
    const int runs = argc > 1 ? std::atoi(argv[1]) : benchRuns ? std::atoi(benchRuns) : 5;
    const long count = argc > 2 ? std::atol(argv[2]) : 500000;
    if (runs < 1 || runs > kMaxRuns || count < 1 || count > kMaxDatagrams) {
        std::fprintf(stderr, "usage: %s [RUNS(1..%d)] [DATAGRAMS_PER_RUN(1..%ld)]\n", argv[0], kMaxRuns,
                     kMaxDatagrams);
        return 2;
    }
    const std::vector<Message> messages = SimulatorMessages();
    std::printf("parse throughput: copy into a receive buffer, ParseSsdpMessage, GetHeader of NTS, NT, ST, USN,\n"
                "LOCATION, CACHE-CONTROL; %ld datagrams per run, %d runs, one thread\n",
                count, runs);
    size_t sink = 0;
    std::vector<const Message*> mix;
    for (const Message& message : messages) {
        Report(message.kind + " (" + std::to_string(message.text.size()) + " B)", {&message}, runs, count, sink);
        mix.push_back(&message);
    }
    Report("even mix", mix, runs, count, sink);
    std::printf("(header bytes read: %zu)\n", sink);
    return 0;
}
