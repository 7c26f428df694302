#pragma once

// The program's diagnostic lines with the moment each was written, taken in
// through the debug-output seam instead of standard error, so that the
// program's own log marks when searches went out and fetches ran.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

struct TimedLine {
    Clock::time_point at;
    std::string text;
};

class TimedLog {
public:
    TimedLog();
    ~TimedLog();
    TimedLog(const TimedLog&) = delete;
    TimedLog& operator=(const TimedLog&) = delete;

    const std::vector<TimedLine>& lines() const { return m_lines; }
    std::optional<Clock::time_point> firstSearch() const { return m_firstSearch; }
    bool burstEnded() const { return m_burstEnded; }
    Clock::time_point lastAt() const { return m_lastAt; }

    // One line per entry, milliseconds after origin in front.
    void WriteTo(const std::string& path, Clock::time_point origin) const;

private:
    void Append(const char* line);

    std::vector<TimedLine> m_lines;
    std::optional<Clock::time_point> m_firstSearch;
    bool m_burstEnded = false;
    Clock::time_point m_lastAt = Clock::now();
};

bool StartsWith(const std::string& text, const char* prefix);

double MillisecondsBetween(Clock::time_point from, Clock::time_point to);

}  // namespace bench
