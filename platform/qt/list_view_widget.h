#pragma once

// The list view control in report view: a tree widget without root
// decoration, one row per item.

#include <QTreeWidget>

class ListViewWidget : public QTreeWidget {
public:
    explicit ListViewWidget(QWidget* parent);
};
