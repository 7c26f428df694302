#pragma once

// What the program did during a discovery burst, read back from its own
// diagnostic lines: when each search went out, how many datagrams it handled
// and how long each description fetch took, phase by phase.

#include <optional>
#include <string>
#include <vector>

#include "timed_log.h"

namespace bench {

struct Fetch {
    Clock::time_point start;                       // "GetUrl(url)"
    std::optional<Clock::time_point> socketReady;  // "GetUrl::TryConnect(url)"
    std::optional<Clock::time_point> connected;    // "GetUrl::Connected"
    Clock::time_point end;                         // "GetUrl(url)=bytes"
    long bytes = 0;
    std::string url;
};

struct BurstProfile {
    std::vector<Clock::time_point> searches;
    std::vector<Clock::time_point> datagrams;  // handed to the dialog
    long alives = 0;     // announcements and search answers handled
    std::vector<Fetch> fetches;
};

BurstProfile ProfileBurst(const std::vector<TimedLine>& lines);

struct FetchStats {
    double totalMs = 0;
    double meanMs = 0;
    double maxMs = 0;
    double meanSetupMs = 0;     // URL split and socket creation
    double meanConnectMs = 0;   // TCP connect
    double meanTransferMs = 0;  // request out until the peer closed
    long failed = 0;            // nothing received
};

FetchStats SummarizeFetches(const std::vector<Fetch>& fetches);

long FetchesEndedBy(const std::vector<Fetch>& fetches, Clock::time_point moment);

long DatagramsWithin(const BurstProfile& profile, Clock::time_point from, Clock::time_point to);

// What a datagram costs besides its fetch: from the fetch's end until the
// program takes the next datagram (the row written, the list's notices, the
// event loop's turn with its layout and repaints). Medians, so that the
// quiet moments when no datagram waits do not count.
struct RowCosts {
    double newRowMs = 0;  // the last quarter of the new rows: the list at its longest
    double repeatMs = 0;  // answers for an indicator already listed
    long newRows = 0;
    long repeats = 0;
};

RowCosts MeasureRowCosts(const BurstProfile& profile);

// Fetch time that lies inside [from, to].
double FetchMsWithin(const std::vector<Fetch>& fetches, Clock::time_point from, Clock::time_point to);

}  // namespace bench
