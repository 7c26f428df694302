#include "item_data_index.h"

void ItemDataIndex::Add(LPARAM data, QTreeWidgetItem* item) { m_items.emplace(data, item); }

void ItemDataIndex::Remove(LPARAM data, QTreeWidgetItem* item)
{
    auto [first, last] = m_items.equal_range(data);
    for (auto entry = first; entry != last; ++entry) {
        if (entry->second == item) {
            m_items.erase(entry);
            return;
        }
    }
}

std::vector<QTreeWidgetItem*> ItemDataIndex::ItemsWith(LPARAM data) const
{
    std::vector<QTreeWidgetItem*> items;
    auto [first, last] = m_items.equal_range(data);
    for (auto entry = first; entry != last; ++entry)
        items.push_back(entry->second);
    return items;
}
