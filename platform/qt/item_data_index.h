#pragma once

// The list's rows by their item data, kept beside the rows so that the row
// of a record is found at the same cost in a list of ten rows or of
// thousands. Rows that share a value (new rows carry 0 until the program
// attaches its data) are all kept under it.

#include <unordered_map>
#include <vector>

#include "win_types.h"

class QTreeWidgetItem;

class ItemDataIndex {
public:
    void Add(LPARAM data, QTreeWidgetItem* item);
    void Remove(LPARAM data, QTreeWidgetItem* item);
    void Clear() { m_items.clear(); }
    std::vector<QTreeWidgetItem*> ItemsWith(LPARAM data) const;

private:
    std::unordered_multimap<LPARAM, QTreeWidgetItem*> m_items;
};
