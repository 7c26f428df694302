#include "indicators/fetch_budget.h"

#include <algorithm>

#include "log/log_message.h"

uint64_t FetchBudget::Left(uint64_t now, bool promptBefore) const
{
    const uint64_t newest = now / kSlotMs;
    const uint64_t oldest = now >= kWindowMs ? (now - kWindowMs) / kSlotMs : 0;
    uint64_t spent = 0;
    for (const Slot& slot : m_slots) {
        if (slot.spent > 0 && slot.number >= oldest && slot.number <= newest)
            spent += slot.spent;
    }
    const uint64_t usable = promptBefore ? kBudgetMs : kBudgetMs - kReserveMs;
    return spent + kLeastMs > usable ? 0 : usable - spent;
}

void FetchBudget::Spent(uint64_t start, uint64_t end)
{
    for (uint64_t number = start / kSlotMs; number <= end / kSlotMs; ++number) {
        const uint64_t from = std::max(start, number * kSlotMs);
        const uint64_t to = std::min(end, (number + 1) * kSlotMs);
        Slot& slot = m_slots[number % kSlotCount];
        if (slot.number != number)
            slot = Slot{number, 0};
        slot.spent += to > from ? to - from : 0;
    }
}

void FetchBudget::LogSkipped(const std::string& location, uint64_t now)
{
    ++m_skipped;
    if (m_last_line && now - *m_last_line < kWindowMs)
        return;
    LogMessage(">GetUrl: skipped (%u since the last line), fetches held the window %d s of the last %d s: %s", m_skipped,
               static_cast<int>(kBudgetMs / 1000), static_cast<int>(kWindowMs / 1000), location.c_str());
    m_last_line = now;
    m_skipped = 0;
}
