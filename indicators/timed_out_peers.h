#pragma once

#include <cstdint>
#include <map>
#include <string>

// Hosts and senders whose last fetch ended on a time bound or took long. A
// device that never answers would otherwise hold the window for a whole
// bound on every message it sends, and one that names another path or port
// in each message would escape a hold keyed on the LOCATION's text. Now each
// holds it once a minute at most. Times are seconds of the monotonic clock.
class TimedOutPeers {
public:
    static constexpr int64_t kHoldSeconds = 60;

    // A fetch ran out of time or took long. The host is the LOCATION's address after
    // resolution (its name when the lookup itself ran out of time); the
    // sender sent the message that named it.
    void Remember(const std::string& host, const std::string& sender, int64_t now);
    // True while a slow fetch from that host, or after a message of that
    // sender, is at most kHoldSeconds old.
    bool HoldsHost(const std::string& host, int64_t now) { return Holds(m_hosts, host, now); }
    bool HoldsSender(const std::string& sender, int64_t now) { return Holds(m_senders, sender, now); }
    void Forget();

private:
    using TimeOuts = std::map<std::string, int64_t>;

    static void Add(TimeOuts& timeOuts, const std::string& key, int64_t now);
    static bool Holds(TimeOuts& timeOuts, const std::string& key, int64_t now);

    TimeOuts m_hosts;
    TimeOuts m_senders;
};

// The log line of a fetch skipped because of a hold.
void LogSkippedWhileHeld(const std::string& location);
