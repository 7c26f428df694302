#include "indicators/timed_out_locations.h"

void TimedOutLocations::Remember(const std::string& location, int64_t now)
{
    // Entries past their time go, so the map holds no more locations than
    // can time out within one hold.
    std::erase_if(m_timedOutAt, [now](const auto& entry) { return now - entry.second > kHoldSeconds; });
    m_timedOutAt[location] = now;
}

bool TimedOutLocations::Holds(const std::string& location, int64_t now)
{
    const auto found = m_timedOutAt.find(location);
    if (found == m_timedOutAt.end())
        return false;
    if (now - found->second <= kHoldSeconds)
        return true;
    m_timedOutAt.erase(found);
    return false;
}
