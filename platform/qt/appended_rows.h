#pragma once

// Rows appended to a visible list join its view at most once per frame. The
// view lays out all its rows again on the turn after each insertion, so in a
// burst of new indicators every row would cost a layout of the whole list.
// Until they join, the rows are the list's all the same: counted, written,
// read and found through the list control; only the screen has not shown
// them yet.

#include <vector>

#include "frame_pacer.h"

class QTreeWidget;
class QTreeWidgetItem;

class AppendedRows {
public:
    explicit AppendedRows(QTreeWidget* list);
    ~AppendedRows();
    AppendedRows(const AppendedRows&) = delete;
    AppendedRows& operator=(const AppendedRows&) = delete;

    // Adds the row at the end of the list, now or at the frame's end.
    void Append(QTreeWidgetItem* row);
    // Lets every waiting row join the view now.
    void Join();
    // Drops the waiting rows (the list is being emptied).
    void Discard();

    int Count() const { return static_cast<int>(m_waiting.size()); }
    QTreeWidgetItem* At(int index) const;
    int IndexOf(const QTreeWidgetItem* row) const;

private:
    QTreeWidget* m_list;
    std::vector<QTreeWidgetItem*> m_waiting;
    FramePacer m_pacer{[this] { Join(); }};
};
