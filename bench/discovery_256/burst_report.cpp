#include "burst_report.h"

#include <sys/resource.h>

#include <cstdio>
#include <string>

namespace bench {

namespace {

long PeakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Since(Clock::time_point origin, Clock::time_point moment) { return MillisecondsBetween(origin, moment); }

void PrintSearches(const BurstProfile& profile, Clock::time_point origin)
{
    std::string offsets;
    for (Clock::time_point search : profile.searches)
        offsets += (offsets.empty() ? "+" : ", +") + std::to_string(static_cast<long>(Since(origin, search)));
    std::printf("M-SEARCH sent at %s ms\n", offsets.c_str());
}

void PrintListed(const RunRecord& run, Clock::time_point origin)
{
    const std::optional<Clock::time_point> listed = run.observer.listedAt();
    if (!listed) {
        std::printf("NOT all %d listed by the end of the burst: %d rows with a host name\n", run.expected,
                    run.observer.finalRows());
        return;
    }
    std::printf("all %d listed %.0f ms after the first M-SEARCH, after %ld of %zu description fetches\n",
                run.expected, Since(origin, *listed), FetchesEndedBy(run.profile.fetches, *listed),
                run.profile.fetches.size());
}

double LastFetchEndMs(const BurstProfile& profile, Clock::time_point origin)
{
    return profile.fetches.empty() ? 0.0 : Since(origin, profile.fetches.back().end);
}

void PrintTraffic(const RunRecord& run, Clock::time_point origin)
{
    std::printf("%zu datagrams handled (%ld announcements or answers), last fetch ended +%.0f ms; "
                "%ld datagrams dropped by the kernel (receive buffer full)\n",
                run.profile.datagrams.size(), run.profile.alives, LastFetchEndMs(run.profile, origin),
                run.droppedDatagrams);
}

void PrintFetches(const BurstProfile& profile)
{
    const FetchStats stats = SummarizeFetches(profile.fetches);
    std::printf("fetches: %zu (%ld empty), mean %.2f ms (socket %.2f, connect %.2f, request until close %.2f), "
                "longest %.1f ms, together %.0f ms\n",
                profile.fetches.size(), stats.failed, stats.meanMs, stats.meanSetupMs, stats.meanConnectMs,
                stats.meanTransferMs, stats.maxMs, stats.totalMs);
}

void PrintRowCosts(const RowCosts& costs)
{
    std::printf("besides its fetch, until the next datagram is taken (median): a new row %.3f ms (the last quarter "
                "of %ld new rows), a repeated answer %.3f ms (%ld)\n",
                costs.newRowMs, costs.newRows, costs.repeatMs, costs.repeats);
}

// From the first search until the program's last diagnostic line: quiet
// time after the burst is not the program's.
Gap LongestInBurst(const GapMeter& gaps, const RunRecord& run)
{
    return gaps.Longest(run.profile.searches.front(), run.observer.lastActivity());
}

void PrintStall(const char* what, const GapMeter& gaps, const RunRecord& run)
{
    const Clock::time_point origin = run.profile.searches.front();
    const Gap longest = LongestInBurst(gaps, run);
    std::printf("%s: longest gap %.1f ms (+%.0f..+%.0f ms: %ld datagrams handled, %.1f ms in description "
                "fetches), %ld ticks\n",
                what, longest.Ms(), Since(origin, longest.start), Since(origin, longest.end),
                DatagramsWithin(run.profile, longest.start, longest.end),
                FetchMsWithin(run.profile.fetches, longest.start, longest.end),
                gaps.TicksWithin(origin, run.observer.lastActivity()));
}

void PrintResultLine(const RunRecord& run, Clock::time_point origin)
{
    const std::optional<Clock::time_point> listed = run.observer.listedAt();
    const std::string listedMs = listed ? std::to_string(static_cast<long>(Since(origin, *listed))) : "NA";
    const long fetchesAtListed = listed ? FetchesEndedBy(run.profile.fetches, *listed) : -1;
    const RowCosts costs = MeasureRowCosts(run.profile);
    std::printf("RESULT listed_ms=%s rows=%d held_ms=%.1f loop_ms=%.1f fetches=%zu fetches_at_listed=%ld datagrams=%zu "
                "drops=%ld done_ms=%.0f fetch_mean_ms=%.3f new_row_ms=%.3f repeat_ms=%.3f peak_rss_kb=%ld\n",
                listedMs.c_str(), run.observer.finalRows(), LongestInBurst(run.observer.heldGaps(), run).Ms(),
                LongestInBurst(run.observer.loopGaps(), run).Ms(),
                run.profile.fetches.size(), fetchesAtListed, run.profile.datagrams.size(), run.droppedDatagrams,
                LastFetchEndMs(run.profile, origin), SummarizeFetches(run.profile.fetches).meanMs, costs.newRowMs,
                costs.repeatMs, PeakRssKb());
}

}  // namespace

void PrintReport(const RunRecord& run)
{
    if (run.profile.searches.empty()) {
        std::printf("no M-SEARCH was sent\nRESULT listed_ms=NA\n");
        return;
    }
    const Clock::time_point origin = run.profile.searches.front();
    PrintSearches(run.profile, origin);
    PrintListed(run, origin);
    PrintTraffic(run, origin);
    PrintFetches(run.profile);
    PrintRowCosts(MeasureRowCosts(run.profile));
    std::printf("peak resident set %ld KiB\n", PeakRssKb());
    PrintStall("program's own 5 ms timer (held while a fetch waits)", run.observer.heldGaps(), run);
    PrintStall("plain 5 ms toolkit timer (runs during repaints too)", run.observer.loopGaps(), run);
    PrintResultLine(run, origin);
    std::fflush(stdout);
}

}  // namespace bench
