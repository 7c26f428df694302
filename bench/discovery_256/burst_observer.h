#pragma once

// Watches the real dialog during a discovery burst: when its list first
// holds every expected indicator with a host name, how long each of two
// timers in the same event loop was kept from running, and when the run is
// over.

#include <optional>

#include "gap_meter.h"
#include "timed_log.h"

class CQuorvelDlg;

namespace bench {

class BurstObserver {
public:
    BurstObserver(const CQuorvelDlg& dialog, const TimedLog& log, int expected, int seconds);

    // A plain toolkit timer: runs whenever any event processing runs, also
    // the repainting the program allows while a fetch waits.
    void OnLoopTick();
    // A timer of the program's own kind: held while a fetch waits, like the
    // program's search and expiry timers.
    void OnHeldTick();
    // Over when the burst's answers have stopped coming in, or at the
    // deadline.
    bool Over() const;
    // Counts the rows that have a host name and notes the program's last
    // diagnostic line of the burst, for the report; the list is gone once
    // the dialog has ended.
    void NoteEnd();

    int finalRows() const { return m_finalRows; }
    Clock::time_point lastActivity() const { return m_lastActivity; }

    std::optional<Clock::time_point> listedAt() const { return m_listedAt; }
    const GapMeter& loopGaps() const { return m_loopGaps; }
    const GapMeter& heldGaps() const { return m_heldGaps; }

private:
    void CheckListed(Clock::time_point now);

    const CQuorvelDlg& m_dialog;
    const TimedLog& m_log;
    const int m_expected;
    const Clock::time_point m_deadline;
    std::optional<Clock::time_point> m_listedAt;
    int m_finalRows = 0;
    Clock::time_point m_lastActivity{};
    GapMeter m_loopGaps;
    GapMeter m_heldGaps;
};

}  // namespace bench
