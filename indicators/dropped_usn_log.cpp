#include "indicators/dropped_usn_log.h"

#include "log/log_message.h"

void DroppedUsnLog::Dropped(uint32_t sender, const char* senderText, RowBound bound, int64_t now)
{
    Tally& tally = TallyFor(sender, now);
    ++tally.dropped;
    if (tally.last_line && now - *tally.last_line < kLineEverySeconds)
        return;
    const bool perSender = bound == RowBound::PerSender;
    LogMessage(">new USN from %s dropped, bound of %d rows %s (%u dropped since the last line)",
               &tally == &m_other_senders ? "other senders" : senderText,
               perSender ? RowBounds::kMaxRowsPerSender : RowBounds::kMaxRows,
               perSender ? "per sender address" : "in all", tally.dropped);
    tally = Tally{now, 0};
}

DroppedUsnLog::Tally& DroppedUsnLog::TallyFor(uint32_t sender, int64_t now)
{
    if (const auto found = m_by_sender.find(sender); found != m_by_sender.end())
        return found->second;
    if (m_by_sender.size() >= kMaxSenders)
        ForgetQuietSenders(now);
    if (m_by_sender.size() >= kMaxSenders)
        return m_other_senders;
    return m_by_sender[sender];
}

// A sender whose last line is a minute old would get a line at its next drop
// anyway; only the count it gathered since is lost.
void DroppedUsnLog::ForgetQuietSenders(int64_t now)
{
    if (now == m_last_sweep)
        return;
    m_last_sweep = now;
    // Every tally in the table had its line when it was made.
    std::erase_if(m_by_sender, [now](const auto& entry) { return now - *entry.second.last_line >= kLineEverySeconds; });
}
