#include "indicators/timed_out_peers.h"

#include "log/log_message.h"

void TimedOutPeers::Remember(const std::string& host, const std::string& sender, int64_t now)
{
    Add(m_hosts, host, now);
    Add(m_senders, sender, now);
}

void TimedOutPeers::Forget()
{
    m_hosts.clear();
    m_senders.clear();
}

void TimedOutPeers::Add(TimeOuts& timeOuts, const std::string& key, int64_t now)
{
    // Entries past their time go, so the table holds no more peers than can
    // time out within one hold.
    std::erase_if(timeOuts, [now](const auto& entry) { return now - entry.second > kHoldSeconds; });
    timeOuts[key] = now;
}

bool TimedOutPeers::Holds(TimeOuts& timeOuts, const std::string& key, int64_t now)
{
    const auto found = timeOuts.find(key);
    if (found == timeOuts.end())
        return false;
    if (now - found->second <= kHoldSeconds)
        return true;
    timeOuts.erase(found);
    return false;
}

void LogSkippedWhileHeld(const std::string& location)
{
    LogMessage(">GetUrl: skipped, slow or out of time less than %d s ago: %s", static_cast<int>(TimedOutPeers::kHoldSeconds),
               location.c_str());
}
