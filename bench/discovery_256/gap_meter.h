#pragma once

// The ticks of a periodic timer; the longest time between two of them is how
// long the event loop that runs the timer was kept from it.

#include <algorithm>
#include <vector>

#include "timed_log.h"

namespace bench {

struct Gap {
    Clock::time_point start;
    Clock::time_point end;
    double Ms() const { return MillisecondsBetween(start, end); }
};

class GapMeter {
public:
    // Room for a whole run's ticks, so that recording never allocates.
    GapMeter() { m_ticks.reserve(32768); }

    void Tick(Clock::time_point now) { m_ticks.push_back(now); }

    // The longest gap that overlaps [from, to]: the gap a tick closes after
    // from, whose previous tick came no later than to.
    Gap Longest(Clock::time_point from, Clock::time_point to) const
    {
        Gap longest{from, from};
        for (size_t i = 1; i < m_ticks.size(); ++i) {
            const Gap gap{std::max(m_ticks[i - 1], from), m_ticks[i]};
            if (gap.end > from && gap.start <= to && gap.end - gap.start > longest.end - longest.start)
                longest = gap;
        }
        return longest;
    }

    long TicksWithin(Clock::time_point from, Clock::time_point to) const
    {
        long count = 0;
        for (Clock::time_point tick : m_ticks)
            count += tick >= from && tick <= to ? 1 : 0;
        return count;
    }

private:
    std::vector<Clock::time_point> m_ticks;
};

}  // namespace bench
