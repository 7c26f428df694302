#pragma once

#include <cstdint>
#include <map>
#include <string>

// LOCATIONs whose last fetch ended on a time bound. A device that never
// answers would otherwise hold the window for a whole bound on every message
// it sends; now it does so once a minute at most. Times are seconds since
// 1970 UTC.
class TimedOutLocations {
public:
    static constexpr int64_t kHoldSeconds = 60;

    void Remember(const std::string& location, int64_t now);
    // True while the location's last time-out is at most kHoldSeconds old.
    bool Holds(const std::string& location, int64_t now);
    void Forget() { m_timedOutAt.clear(); }

private:
    std::map<std::string, int64_t> m_timedOutAt;
};
