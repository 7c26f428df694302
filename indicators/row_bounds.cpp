#include "indicators/row_bounds.h"

RowBound RowBounds::Passed(uint32_t sender) const
{
    const auto held = m_rows_by_sender.find(sender);
    if (held != m_rows_by_sender.end() && held->second >= kMaxRowsPerSender)
        return RowBound::PerSender;
    return m_rows >= kMaxRows ? RowBound::Total : RowBound::None;
}

void RowBounds::Added(uint32_t sender)
{
    ++m_rows;
    ++m_rows_by_sender[sender];
}

void RowBounds::Moved(uint32_t from, uint32_t to)
{
    if (from == to)
        return;
    const auto held = m_rows_by_sender.find(from);
    if (held != m_rows_by_sender.end() && --held->second == 0)
        m_rows_by_sender.erase(held);
    ++m_rows_by_sender[to];
}
