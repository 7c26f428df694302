#include "list_view_widget.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include <algorithm>

#include "afx_listctrl.h"
#include "header_accessibility.h"
#include "wnd_internal.h"

// ---- ListHeaderView -----------------------------------------------------

namespace {

// The bitmap's background is the colour of its corner, where neither title
// nor mark is drawn.
QPixmap SeeThroughBackground(const QPixmap& bitmap)
{
    QPixmap shown = bitmap;
    if (!bitmap.isNull()) {
        const QColor background = bitmap.toImage().pixelColor(0, 0);
        shown.setMask(bitmap.createMaskFromColor(background, Qt::MaskInColor));
    }
    return shown;
}

}  // namespace

ListHeaderView::ListHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    static const bool s_accessible = (QAccessible::installFactory(platform::HeaderAccessibilityFactory), true);
    (void)s_accessible;
    setSectionsClickable(true);
    setSectionsMovable(true);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setObjectName(QStringLiteral("0"));
    // Tab reaches it; a click on a section leaves the focus where it was, as
    // on the system.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Sort by column"));
}

QString ListHeaderView::SectionTitle(int section) const
{
    return model() ? model()->headerData(section, orientation(), Qt::AccessibleTextRole).toString() : QString();
}

QString ListHeaderView::SectionSortText(int section) const
{
    return model() ? model()->headerData(section, orientation(), Qt::AccessibleDescriptionRole).toString()
                   : QString();
}

void ListHeaderView::ClickSection(int section)
{
    if (section >= 0 && section < count() && !isSectionHidden(section))
        emit sectionClicked(section);
}

void ListHeaderView::keyPressEvent(QKeyEvent* event)
{
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    TakeFirstSectionIfNone();
    const int visual = visualIndex(m_keyboardSection);
    if (!plain) {
        event->ignore();
    } else if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        MoveKeyboardTo(visual + (event->key() == Qt::Key_Left ? -1 : 1));
    } else if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
        MoveKeyboardTo(event->key() == Qt::Key_Home ? 0 : count() - 1);
    } else if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ClickSection(m_keyboardSection);
    } else {
        event->ignore();
    }
}

void ListHeaderView::MoveKeyboardTo(int visual)
{
    visual = std::clamp(visual, 0, std::max(count() - 1, 0));
    if (count() == 0 || logicalIndex(visual) == m_keyboardSection)
        return;
    m_keyboardSection = logicalIndex(visual);
    viewport()->update();
    AnnounceKeyboardSection();
}

void ListHeaderView::focusInEvent(QFocusEvent* event)
{
    QHeaderView::focusInEvent(event);
    TakeFirstSectionIfNone();
    viewport()->update();
    // After the toolkit's own focus event, which names the header as a whole.
    QMetaObject::invokeMethod(this, [this] { AnnounceKeyboardSection(); }, Qt::QueuedConnection);
}

// A screen reader tells the new sort state of the section it is on.
void ListHeaderView::AnnounceSortTextChanged(int section)
{
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    changed.setChild(visualIndex(section));
    QAccessible::updateAccessibility(&changed);
}

// Keys may come before the focus does: a window that is not active yet
// still gets the keys typed into it.
void ListHeaderView::TakeFirstSectionIfNone()
{
    if (m_keyboardSection < 0 || m_keyboardSection >= count())
        m_keyboardSection = logicalIndex(0);
}

void ListHeaderView::focusOutEvent(QFocusEvent* event)
{
    QHeaderView::focusOutEvent(event);
    viewport()->update();
}

// The widget's own focus event names the header; this one names the section.
void ListHeaderView::AnnounceKeyboardSection()
{
    if (!hasFocus() || m_keyboardSection < 0)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(visualIndex(m_keyboardSection));
    QAccessible::updateAccessibility(&focus);
}

void ListHeaderView::SetSectionBitmap(int section, const QPixmap* bitmap)
{
    if (bitmap)
        m_bitmaps[section] = SectionPicture{*bitmap, SeeThroughBackground(*bitmap)};
    else
        m_bitmaps.erase(section);
    viewport()->update();
}

const QPixmap* ListHeaderView::SectionBitmap(int section) const
{
    auto found = m_bitmaps.find(section);
    return found == m_bitmaps.end() ? nullptr : &found->second.bitmap;
}

void ListHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    auto found = m_bitmaps.find(logicalIndex);
    if (found == m_bitmaps.end())
        QHeaderView::paintSection(painter, rect, logicalIndex);
    else
        PaintSectionBitmap(painter, rect, logicalIndex, found->second.shown);
    if (hasFocus() && logicalIndex == m_keyboardSection)
        PaintKeyboardFocus(painter, rect);
}

void ListHeaderView::PaintKeyboardFocus(QPainter* painter, const QRect& rect) const
{
    painter->save();
    QPen pen(palette().color(QPalette::ButtonText), 1, Qt::DotLine);
    painter->setPen(pen);
    painter->drawRect(rect.adjusted(2, 2, -3, -3));
    painter->restore();
}

// The style draws the section (its shading and dividers) with an empty
// title; the bitmap goes where the title would, inside the section's
// margins, and is cut there.
void ListHeaderView::PaintSectionBitmap(QPainter* painter, const QRect& rect, int logicalIndex,
                                        const QPixmap& shown) const
{
    QStyleOptionHeader option;
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    option.text.clear();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    const QRect label = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this);
    painter->save();
    painter->setClipRect(label & rect);
    painter->drawPixmap(label.left(), rect.top(), shown);
    painter->restore();
}

// ---- ListViewWidget -----------------------------------------------------

ListViewWidget::ListViewWidget(QWidget* parent) : QTreeWidget(parent), m_header(new ListHeaderView(this))
{
    setHeader(m_header);
    // Taking the header turns its clicks off again.
    m_header->setSectionsClickable(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setColumnCount(0);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { OnQtSelectionChanged(); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(WM_VSCROLL, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(WM_HSCROLL, action); });
    connect(m_header, &QHeaderView::sectionClicked, this, [this](int section) { OnHeaderClicked(section); });
}

// Rows go with the window; their going is no change the program hears of.
ListViewWidget::~ListViewWidget()
{
    m_quiet = true;
    disconnect(selectionModel(), nullptr, this, nullptr);
}

CWnd* ListViewWidget::Owner() const { return platform::WindowOf(this); }

void ListViewWidget::NotifyItemChanged(int row, UINT changed, UINT newState, UINT oldState)
{
    CWnd* owner = Owner();
    if (m_quiet || !owner)
        return;
    NMLISTVIEW notification;
    notification.hdr.code = LVN_ITEMCHANGED;
    notification.iItem = row;
    notification.uChanged = changed;
    notification.uNewState = newState;
    notification.uOldState = oldState;
    if (QTreeWidgetItem* changedItem = RowItem(row))
        notification.lParam = static_cast<LPARAM>(changedItem->data(0, Qt::UserRole).toLongLong());
    platform::NotifyParent(owner, notification.hdr);
}

void ListViewWidget::SelectItem(QTreeWidgetItem* item)
{
    if (item == m_selected)
        return;
    QTreeWidgetItem* previous = m_selected;
    if (previous) {
        m_selected = nullptr;
        {
            QSignalBlocker block(selectionModel());
            previous->setSelected(false);
        }
        NotifyItemChanged(indexOfTopLevelItem(previous), LVIF_STATE, 0, LVIS_SELECTED);
    }
    if (item) {
        m_selected = item;
        {
            QSignalBlocker block(selectionModel());
            item->setSelected(true);
        }
        NotifyItemChanged(indexOfTopLevelItem(item), LVIF_STATE, LVIS_SELECTED, 0);
    }
    viewport()->update();
}

void ListViewWidget::OnQtSelectionChanged()
{
    QList<QTreeWidgetItem*> selected = selectedItems();
    SelectItem(selected.isEmpty() ? nullptr : selected.first());
}

void ListViewWidget::OnScrollAction(int orientationMessage, int action)
{
    CWnd* owner = Owner();
    if (!owner)
        return;
    // The scroll bar moves itself; the message lets the control react first.
    platform::Dispatch(owner, static_cast<UINT>(orientationMessage), static_cast<WPARAM>(action), 0,
                       [] { return LRESULT{0}; });
}

void ListViewWidget::OnHeaderClicked(int section)
{
    CWnd* owner = Owner();
    if (!owner)
        return;
    NMHEADER notification;
    notification.hdr.code = HDN_ITEMCLICKA;
    notification.iItem = section;
    notification.iButton = 0;
    CWnd* parent = owner->GetParent();
    if (!parent)
        return;
    notification.hdr.hwndFrom = reinterpret_cast<HWND>(m_header);
    notification.hdr.idFrom = 0;
    platform::Dispatch(parent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notification.hdr), [] { return LRESULT{0}; });
}

void ListViewWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    platform::SetMessagePos(global.x(), global.y());
    CWnd* owner = Owner();
    if (!owner || event->button() != Qt::LeftButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    const QPoint client = event->position().toPoint() + ViewportOffset();
    platform::Dispatch(owner, WM_LBUTTONDOWN, 0, MAKELPARAM(client.x(), client.y()), [this, event] {
        QTreeWidget::mousePressEvent(event);
        return LRESULT{0};
    });
}

// The system's list view does not drag-select: once the button is down, the
// selection and the focus stay as the press left them wherever the pointer
// goes, so a hand that shifts a pixel during a click changes nothing.
void ListViewWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

// A click selects when the button goes down, as the system's list view does,
// so that whatever the control does after the press is not undone when the
// button comes up.
QItemSelectionModel::SelectionFlags ListViewWidget::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const
{
    if (event && event->type() == QEvent::MouseButtonRelease)
        return QItemSelectionModel::NoUpdate;
    return QTreeWidget::selectionCommand(index, event);
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    platform::SetMessagePos(global.x(), global.y());
    QTreeWidget::mouseDoubleClickEvent(event);
    CWnd* owner = Owner();
    if (!owner || event->button() != Qt::LeftButton)
        return;
    NMITEMACTIVATE notification;
    notification.hdr.code = NM_DBLCLK;
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    notification.iItem = item ? indexOfTopLevelItem(item) : -1;
    const QPoint client = event->position().toPoint() + ViewportOffset();
    notification.ptAction = POINT{client.x(), client.y()};
    platform::NotifyParent(owner, notification.hdr);
}

// As on the system's list view, taking the focus makes no row current, so
// the first Down goes to the first row.
void ListViewWidget::focusInEvent(QFocusEvent* event)
{
    const bool hadCurrent = currentIndex().isValid();
    QTreeWidget::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

// The row with the keyboard focus is framed in the text's own colour: the
// style's faint tint is hard to see.
void ListViewWidget::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeWidget::drawRow(painter, option, index);
    if (!hasFocus() || !currentIndex().isValid() || currentIndex().row() != index.row())
        return;
    const bool selected = selectionModel()->isRowSelected(index.row(), index.parent());
    painter->save();
    painter->setPen(QPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text), 1, Qt::DotLine));
    const int left = -header()->offset();
    painter->drawRect(QRect(left, option.rect.top(), header()->length(), option.rect.height()).adjusted(0, 0, -1, -1));
    painter->restore();
}
