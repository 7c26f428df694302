// Sorting the indicator list by a header click: address, host name and
// device type sort; a second click on the same column reverses the order.

#include <string>
#include <utility>

#include "indicators/indicator_record.h"
#include "ui/quorvel_dlg.h"
#include "win_sock.h"

namespace {

template <typename Value>
int Sign(Value first, Value second)
{
    return first < second ? -1 : (second < first ? 1 : 0);
}

// Byte by byte as unsigned bytes, a prefix first: std::char_traits<char>
// compares as unsigned char.
int CompareBytes(const std::string& first, const std::string& second) { return Sign(first.compare(second), 0); }

}  // namespace

void CQuorvelDlg::OnHeaderClick(NMHDR* notification, LRESULT* result)
{
    *result = 0;
    const int column = reinterpret_cast<NMHEADER*>(notification)->iItem;
    if (column < kColumnAddress || column > kColumnDevType)
        return;
    const bool descending = column == m_sort_state;
    m_sort_state = descending ? ~column : column;
    m_list.SortItems(CompareRecords, static_cast<DWORD_PTR>(m_sort_state));
    m_list.SetSortMark(column, descending);
}

// A descending state is the one's complement of its column and compares as
// the ascending one with the records exchanged.
int CQuorvelDlg::CompareRecords(LPARAM first, LPARAM second, LPARAM sortState)
{
    if (sortState < 0) {
        sortState = ~sortState;
        std::swap(first, second);
    }
    const auto* a = reinterpret_cast<const IndicatorRecord*>(first);
    const auto* b = reinterpret_cast<const IndicatorRecord*>(second);
    switch (sortState) {
    case kColumnAddress:
        return Sign(ntohl(a->address), ntohl(b->address));
    case kColumnHostname:
        return CompareBytes(a->hostname, b->hostname);
    case kColumnDevType:
        return CompareBytes(a->dev_type, b->dev_type);
    default:
        return 0;
    }
}
