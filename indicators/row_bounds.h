#pragma once

// How many rows the list may hold, in all and from one sender address, so
// that no host on the LAN can grow the program's memory without bound nor
// crowd out the others. A row counts for the address of its record's last
// accepted message: a known USN that speaks from another address moves its
// row to that address. Known USNs are always served, so an address can come
// to hold more rows than the bound through such moves; it then gets no new
// ones until it holds fewer.

#include <cstdint>
#include <unordered_map>

enum class RowBound { None, PerSender, Total };

class RowBounds {
public:
    static constexpr int kMaxRows = 4096;
    static constexpr int kMaxRowsPerSender = 256;

    // The bound that a new row from the sender would pass, or None.
    RowBound Passed(uint32_t sender) const;
    void Added(uint32_t sender);
    void Moved(uint32_t from, uint32_t to);

private:
    int m_rows = 0;
    std::unordered_map<uint32_t, int> m_rows_by_sender;
};
