#include "ui/watch_output.h"

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

}  // namespace

std::string WatchTime(int64_t seconds)
{
    tm local{};
    const __time64_t time = seconds;
    char text[40];
    if (_localtime64_s(&local, &time) != 0 || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local) == 0)
        return {};
    // %z gives +hhmm.
    std::string stamp = text;
    return stamp.insert(stamp.size() - 2, ":");
}

std::string FormatWatchLine(const std::string& time, const ListedIndicator& indicator, bool json)
{
    const std::string event = EventOf(indicator);
    if (json)
        return "{" + JsonMember("time", time) + ", " + JsonMember("event", event) + ", " + JsonMembers(indicator) + "}\n";
    return time + "\t" + TableField(event) + "\t" + TableFields(indicator) + "\n";
}

bool ChangedBeyondExpiry(const ListedIndicator& before, const ListedIndicator& now)
{
    for (size_t i = 0; i < kListedFieldCount; ++i) {
        if (i != kColumnValidUntil && before[i] != now[i])
            return true;
    }
    return false;
}
