#pragma once

// The list view control in report view: a tree widget without root
// decoration, one row per item. It keeps the selection as the program sees
// it, so that a change of selection is reported in two steps (the old row
// deselected, then the new one selected), and it turns mouse, scroll and
// header events into the control's messages and notifications.

#include <QHeaderView>
#include <QPixmap>
#include <QTreeWidget>

#include <map>

#include "appended_rows.h"
#include "item_data_index.h"
#include "win_types.h"

class CWnd;

// The header is reached with Tab after the rows; Left, Right, Home and End
// go from section to section, and Space or Enter sorts as a click does.
class ListHeaderView : public QHeaderView {
public:
    explicit ListHeaderView(QWidget* parent);

    // A section given a bitmap shows only the bitmap, where the other
    // sections show their titles.
    void SetSectionBitmap(int section, const QPixmap* bitmap);
    const QPixmap* SectionBitmap(int section) const;

    // What assistive technology reads of a section: its title whatever it
    // shows, and how the list is sorted by it.
    QString SectionTitle(int section) const;
    QString SectionSortText(int section) const;

    // The section the keyboard is on, and a click on a section as a user makes it.
    int KeyboardSection() const { return m_keyboardSection; }
    void ClickSection(int section);
    void AnnounceSortTextChanged(int section);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct SectionPicture {
        QPixmap bitmap;
        // The bitmap with its background colour see-through, so the style's
        // own shading of the section shows around the picture.
        QPixmap shown;
    };

    void PaintSectionBitmap(QPainter* painter, const QRect& rect, int logicalIndex, const QPixmap& shown) const;
    void PaintKeyboardFocus(QPainter* painter, const QRect& rect) const;
    // Moves the keyboard to the section shown at a position, kept in range.
    void MoveKeyboardTo(int visual);
    void TakeFirstSectionIfNone();
    void AnnounceKeyboardSection();

    std::map<int, SectionPicture> m_bitmaps;
    int m_keyboardSection = -1;
};

class ListViewWidget : public QTreeWidget {
public:
    explicit ListViewWidget(QWidget* parent);
    ~ListViewWidget() override;

    CWnd* Owner() const;
    ListHeaderView* Header() const { return m_header; }

    QTreeWidgetItem* SelectedItem() const { return m_selected; }
    // Selects (or with null, deselects) as the program asks, reporting each step.
    void SelectItem(QTreeWidgetItem* item);
    void NotifyItemChanged(int row, UINT changed, UINT newState, UINT oldState);

    // Offset of the rows' area inside the control's client area.
    QPoint ViewportOffset() const { return viewport()->pos(); }

    // While set, the control reports no item changes (a sort moves rows only).
    bool m_quiet = false;

    // The rows as the program counts them: those in the view, then those
    // waiting to join it. A row's index is known without a scan unless rows moved.
    int RowCount() const { return topLevelItemCount() + m_appended.Count(); }
    QTreeWidgetItem* RowItem(int row) const
    {
        return row < topLevelItemCount() ? topLevelItem(row) : m_appended.At(row - topLevelItemCount());
    }
    int RowOf(QTreeWidgetItem* item) const
    {
        if (item->treeWidget())
            return indexFromItem(item).row();
        const int waiting = m_appended.IndexOf(item);
        return waiting < 0 ? -1 : topLevelItemCount() + waiting;
    }
    ItemDataIndex m_itemData;
    AppendedRows m_appended{this};

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void OnQtSelectionChanged();
    void OnScrollAction(int orientationMessage, int action);
    void OnHeaderClicked(int section);

    ListHeaderView* m_header;
    QTreeWidgetItem* m_selected = nullptr;
};
