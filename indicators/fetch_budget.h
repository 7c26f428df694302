#pragma once

// Description fetches block the window, and any number of devices, each
// slow only once a minute, could together hold it for good. So all fetches
// together hold it at most kBudgetMs in any kWindowMs: a fetch is bounded by
// what is left, and skipped when less than kLeastMs is. The last kReserveMs
// are kept for indicators whose last fetch was prompt, so that slow or new
// devices cannot take the refreshes of the others. The user's Search gives
// the whole budget back. Times are milliseconds of the monotonic clock.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class FetchBudget {
public:
    static constexpr uint64_t kWindowMs = 60000;
    static constexpr uint64_t kBudgetMs = 10000;
    static constexpr uint64_t kReserveMs = 2000;
    // Less is no fair try: a device that does not answer within what it got
    // is taken for a slow one.
    static constexpr uint64_t kLeastMs = 250;

    // What a fetch starting now may take, for an indicator whose last fetch
    // was prompt or was not; 0 when it is to be skipped.
    uint64_t Left(uint64_t now, bool promptBefore) const;
    // A fetch held the window from start to end.
    void Spent(uint64_t start, uint64_t end);
    // The whole budget again, for a user who asks for a fresh look.
    void Forget() { m_slots = {}; }
    // The ">" line of a fetch skipped or cut short for want of budget, at
    // most once a minute, with the number since the last line.
    void LogSkipped(const std::string& location, uint64_t now);

private:
    // Time is kept in slots, so the memory stays the same however many
    // fetches there are; the oldest slot of the window counts whole, which
    // errs on the side of the window.
    static constexpr uint64_t kSlotMs = 100;
    static constexpr size_t kSlotCount = kWindowMs / kSlotMs + 1;

    struct Slot {
        uint64_t number = 0;
        uint64_t spent = 0;
    };

    std::array<Slot, kSlotCount> m_slots{};
    std::optional<uint64_t> m_last_line;
    unsigned m_skipped = 0;
};
