#pragma once

// The ">" line for announcements of new USNs that a row bound dropped: at
// most one a minute per sender, with the number dropped since its last
// line, so that a flood does not flood the log either. The table of senders
// is bounded too, since a flood can come from many addresses: past it, the
// senders share one line. Times are seconds of the monotonic clock.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "indicators/row_bounds.h"

class DroppedUsnLog {
public:
    static constexpr int64_t kLineEverySeconds = 60;
    static constexpr size_t kMaxSenders = 256;

    void Dropped(uint32_t sender, const char* senderText, RowBound bound, int64_t now);

private:
    struct Tally {
        std::optional<int64_t> last_line;
        unsigned dropped = 0;
    };

    Tally& TallyFor(uint32_t sender, int64_t now);
    void ForgetQuietSenders(int64_t now);

    std::unordered_map<uint32_t, Tally> m_by_sender;
    Tally m_other_senders;
    int64_t m_last_sweep = 0;
};
