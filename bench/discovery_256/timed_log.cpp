#include "timed_log.h"

#include <cstdio>
#include <cstring>

#include "platform_seams.h"

namespace bench {

namespace {

constexpr char kSearchSent[] = "SendDiscover:SentTo(";
constexpr char kBurstEnd[] = "KillTimer(MY_DISCOVER_ID)";

std::string WithoutLineEnd(const char* line)
{
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

}  // namespace

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

double MillisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

TimedLog::TimedLog()
{
    // Room for the lines of about 1500 fetches, so that growing the vector
    // does not land inside a measured stall.
    m_lines.reserve(32768);
    platform::seams::SetDebugOutput([this](const char* line) { Append(line); });
}

TimedLog::~TimedLog() { platform::seams::SetDebugOutput({}); }

void TimedLog::Append(const char* line)
{
    const Clock::time_point now = Clock::now();
    m_lines.push_back({now, WithoutLineEnd(line)});
    m_lastAt = now;
    const std::string& text = m_lines.back().text;
    if (!m_firstSearch && StartsWith(text, kSearchSent))
        m_firstSearch = now;
    if (text == kBurstEnd)
        m_burstEnded = true;
}

void TimedLog::WriteTo(const std::string& path, Clock::time_point origin) const
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return;
    for (const TimedLine& line : m_lines)
        std::fprintf(file, "%10.3f %s\n", MillisecondsBetween(origin, line.at), line.text.c_str());
    std::fclose(file);
}

}  // namespace bench
