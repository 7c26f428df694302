#pragma once

// The framework's growable array of untyped pointers. It owns nothing: its
// user frees what the pointers point to.

#include <cstddef>
#include <vector>

#include "win_types.h"

class CPtrArray {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    void* GetAt(INT_PTR index) const { return m_items[static_cast<size_t>(index)]; }
    INT_PTR Add(void* item)
    {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<void*> m_items;
};
