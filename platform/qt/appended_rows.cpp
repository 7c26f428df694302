#include "appended_rows.h"

#include <QTreeWidget>

#include <algorithm>

AppendedRows::AppendedRows(QTreeWidget* list) : m_list(list) {}

AppendedRows::~AppendedRows() { Discard(); }

void AppendedRows::Append(QTreeWidgetItem* row)
{
    // A list nobody sees lays nothing out.
    if (m_waiting.empty() && (!m_list->isVisible() || !m_pacer.PutOff())) {
        m_list->addTopLevelItem(row);
        return;
    }
    m_waiting.push_back(row);
}

void AppendedRows::Join()
{
    if (m_waiting.empty())
        return;
    QList<QTreeWidgetItem*> rows(m_waiting.begin(), m_waiting.end());
    m_waiting.clear();
    m_list->addTopLevelItems(rows);
}

void AppendedRows::Discard()
{
    for (QTreeWidgetItem* row : m_waiting)
        delete row;
    m_waiting.clear();
}

QTreeWidgetItem* AppendedRows::At(int index) const
{
    return index >= 0 && index < Count() ? m_waiting[static_cast<size_t>(index)] : nullptr;
}

int AppendedRows::IndexOf(const QTreeWidgetItem* row) const
{
    auto found = std::find(m_waiting.begin(), m_waiting.end(), row);
    return found == m_waiting.end() ? -1 : static_cast<int>(found - m_waiting.begin());
}
