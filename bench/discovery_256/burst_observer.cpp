#include "burst_observer.h"

#include "ui/quorvel_dlg.h"

namespace bench {

namespace {

// Quiet this long after the burst's last search: its answers are all handled,
// and with no announcements due nothing more will come.
constexpr auto kQuietAfterBurst = std::chrono::milliseconds(500);

int RowsWithHostName(const CQuorvelDlg& dialog)
{
    int named = 0;
    for (int row = 0; row < dialog.m_list.GetItemCount(); ++row) {
        if (!dialog.m_list.GetItemText(row, kColumnHostname).empty())
            ++named;
    }
    return named;
}

bool AllListed(const CQuorvelDlg& dialog, int expected)
{
    return dialog.m_list.GetItemCount() == expected && RowsWithHostName(dialog) == expected;
}

}  // namespace

BurstObserver::BurstObserver(const CQuorvelDlg& dialog, const TimedLog& log, int expected, int seconds)
    : m_dialog(dialog), m_log(log), m_expected(expected), m_deadline(Clock::now() + std::chrono::seconds(seconds))
{
}

void BurstObserver::CheckListed(Clock::time_point now)
{
    if (!m_listedAt && m_log.firstSearch() && AllListed(m_dialog, m_expected))
        m_listedAt = now;
}

void BurstObserver::OnLoopTick()
{
    const Clock::time_point now = Clock::now();
    m_loopGaps.Tick(now);
    CheckListed(now);
}

void BurstObserver::OnHeldTick()
{
    const Clock::time_point now = Clock::now();
    m_heldGaps.Tick(now);
    CheckListed(now);
}

void BurstObserver::NoteEnd()
{
    m_finalRows = RowsWithHostName(m_dialog);
    m_lastActivity = m_log.lastAt();
}

bool BurstObserver::Over() const
{
    const Clock::time_point now = Clock::now();
    if (now >= m_deadline)
        return true;
    return m_log.burstEnded() && now - m_log.lastAt() >= kQuietAfterBurst;
}

}  // namespace bench
