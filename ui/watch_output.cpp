#include "ui/watch_output.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "indicators/indicator_record.h"
#include "win_kernel.h"

namespace {

// The Status cell without the blank that "new ", "online " and "changed "
// carry in the window.
std::string EventOf(const ListedIndicator& indicator)
{
    const std::string& status = indicator[kColumnStatus];
    const size_t end = status.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : status.substr(0, end + 1);
}

// The local time's offset from UTC in minutes: its calendar fields read as
// UTC, less the time itself. strftime's %z is not the offset everywhere.
int OffsetMinutes(const tm& local, int64_t seconds)
{
    using namespace std::chrono;
    const sys_days day = year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday;
    const int64_t readAsUtc =
        int64_t{day.time_since_epoch().count()} * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<int>((readAsUtc - seconds) / 60);
}

}  // namespace

std::string WatchTime(int64_t seconds)
{
    tm local{};
    const __time64_t time = seconds;
    char text[40];
    if (_localtime64_s(&local, &time) != 0 || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local) == 0)
        return {};
    const int offset = OffsetMinutes(local, seconds);
    const int distance = offset < 0 ? -offset : offset;
    char zone[24];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', distance / 60, distance % 60);
    return std::string(text) + zone;
}

std::string FormatWatchLine(const std::string& time, const ListedIndicator& indicator, bool json)
{
    // Appended piece by piece: GCC 12 at -O3 takes a literal joined to a
    // temporary string for an overlapping copy (-Wrestrict).
    const std::string event = EventOf(indicator);
    std::string line;
    if (json)
        line.append("{").append(JsonMember("time", time)).append(", ").append(JsonMember("event", event))
            .append(", ").append(JsonMembers(indicator)).append("}\n");
    else
        line.append(time).append("\t").append(TableField(event)).append("\t").append(TableFields(indicator))
            .append("\n");
    return line;
}

bool ChangedBeyondExpiry(const ListedIndicator& before, const ListedIndicator& now)
{
    for (size_t i = 0; i < kListedFieldCount; ++i) {
        if (i != kColumnValidUntil && before[i] != now[i])
            return true;
    }
    return false;
}
