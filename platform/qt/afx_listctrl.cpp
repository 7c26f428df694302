#include "afx_listctrl.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>
#include <vector>

#include "desktop_font.h"
#include "list_view_widget.h"
#include "win_resource.h"
#include "wnd_internal.h"

namespace {

ListViewWidget* ListOf(const CWnd* window) { return dynamic_cast<ListViewWidget*>(platform::WidgetOf(window)); }

// For what needs the rows' places on screen or their selection: every row
// waiting to join the view joins it first.
ListViewWidget* JoinedListOf(const CWnd* window)
{
    ListViewWidget* list = ListOf(window);
    if (list)
        list->m_appended.Join();
    return list;
}

ListHeaderView* HeaderOf(const CWnd* window) { return dynamic_cast<ListHeaderView*>(platform::WidgetOf(window)); }

QString ToQString(const char* text) { return QString::fromLocal8Bit(text ? text : ""); }

LPARAM DataOf(const QTreeWidgetItem* item) { return static_cast<LPARAM>(item->data(0, Qt::UserRole).toLongLong()); }

void SetRowData(ListViewWidget* list, QTreeWidgetItem* row, LPARAM data)
{
    list->m_itemData.Remove(DataOf(row), row);
    row->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(data));
    list->m_itemData.Add(data, row);
}

// The title a column keeps whatever its section shows; assistive technology
// reads it as the column header's name.
void SetColumnTitle(QTreeWidgetItem* header, int column, const QString& title)
{
    header->setData(column, Qt::UserRole, title);
    header->setData(column, Qt::AccessibleTextRole, title);
}

QString SortTextOf(int format)
{
    if (format & HDF_SORTUP)
        return QStringLiteral("sorted ascending");
    if (format & HDF_SORTDOWN)
        return QStringLiteral("sorted descending");
    return {};
}

void SetSortText(ListViewWidget* list, int column, const QString& text)
{
    QTreeWidgetItem* header = list->headerItem();
    if (header->data(column, Qt::AccessibleDescriptionRole).toString() == text)
        return;
    header->setData(column, Qt::AccessibleDescriptionRole, text);
    list->Header()->AnnounceSortTextChanged(column);
    // The list's own header row comes first among its cells.
    QAccessibleEvent changed(list, QAccessible::DescriptionChanged);
    changed.setChild(column);
    QAccessible::updateAccessibility(&changed);
}

Qt::Alignment AlignmentOf(int format)
{
    return ((format & LVCFMT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace

// ---- CHeaderCtrl --------------------------------------------------------

int CHeaderCtrl::GetItemCount() const
{
    ListHeaderView* header = HeaderOf(this);
    return header ? header->count() : -1;
}

BOOL CHeaderCtrl::GetItem(int index, HDITEM* item) const
{
    ListHeaderView* header = HeaderOf(this);
    auto* list = header ? dynamic_cast<ListViewWidget*>(header->parentWidget()) : nullptr;
    if (!list || index < 0 || index >= header->count())
        return FALSE;
    if (item->mask & HDI_WIDTH)
        item->cxy = header->sectionSize(index);
    if ((item->mask & HDI_TEXT) && item->pszText && item->cchTextMax > 0) {
        QByteArray text = list->headerItem()->data(index, Qt::UserRole).toString().toLocal8Bit();
        int length = std::min<int>(static_cast<int>(text.size()), item->cchTextMax - 1);
        std::copy_n(text.constData(), length, item->pszText);
        item->pszText[length] = '\0';
    }
    if (item->mask & HDI_FORMAT)
        item->fmt = header->SectionBitmap(index) ? HDF_BITMAP : HDF_STRING;
    return TRUE;
}

BOOL CHeaderCtrl::SetItem(int index, HDITEM* item)
{
    ListHeaderView* header = HeaderOf(this);
    auto* list = header ? dynamic_cast<ListViewWidget*>(header->parentWidget()) : nullptr;
    if (!list || index < 0 || index >= header->count())
        return FALSE;
    if (item->mask & HDI_WIDTH)
        header->resizeSection(index, item->cxy);
    if (item->mask & HDI_TEXT)
        SetColumnTitle(list->headerItem(), index, ToQString(item->pszText));
    if (item->mask & HDI_FORMAT) {
        const bool bitmapOnly = (item->fmt & HDF_BITMAP) && !(item->fmt & HDF_STRING);
        const QString text = list->headerItem()->data(index, Qt::UserRole).toString();
        list->headerItem()->setText(index, bitmapOnly ? QString() : text);
        list->headerItem()->setTextAlignment(index, AlignmentOf(item->fmt & LVCFMT_RIGHT));
        const QPixmap* bitmap = (bitmapOnly && (item->mask & HDI_BITMAP)) ? reinterpret_cast<QPixmap*>(item->hbm)
                                                                         : nullptr;
        header->SetSectionBitmap(index, bitmap);
        SetSortText(list, index, SortTextOf(item->fmt));
    }
    return TRUE;
}

// ---- CListCtrl ----------------------------------------------------------

CListCtrl::CListCtrl() = default;

CListCtrl::~CListCtrl() = default;

int CListCtrl::InsertColumn(int column, const LVCOLUMN* description)
{
    ListViewWidget* list = ListOf(this);
    if (!list || column < 0)
        return -1;
    column = std::min(column, list->columnCount());
    QTreeWidgetItem* header = list->headerItem();
    std::vector<QString> texts;
    for (int i = 0; i < list->columnCount(); ++i)
        texts.push_back(header->data(i, Qt::UserRole).toString());
    texts.insert(texts.begin() + column, (description->mask & LVCF_TEXT) ? ToQString(description->pszText) : QString());
    list->setColumnCount(static_cast<int>(texts.size()));
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        SetColumnTitle(header, i, texts[static_cast<size_t>(i)]);
        header->setText(i, texts[static_cast<size_t>(i)]);
    }
    // As on the system's list view, the first column always shows left-aligned.
    if (description->mask & LVCF_FMT)
        header->setTextAlignment(column, AlignmentOf(column == 0 ? LVCFMT_LEFT : description->fmt));
    // A column's width, like the dialog, is laid out for the usual font.
    if (description->mask & LVCF_WIDTH)
        list->header()->resizeSection(column, static_cast<int>(description->cx * platform::DesktopFontScale() + 0.5));
    return column;
}

int CListCtrl::GetColumnWidth(int column) const
{
    ListViewWidget* list = ListOf(this);
    return list && column >= 0 && column < list->columnCount() ? list->header()->sectionSize(column) : 0;
}

BOOL CListCtrl::DeleteAllItems()
{
    ListViewWidget* list = ListOf(this);
    if (!list)
        return FALSE;
    list->SelectItem(nullptr);
    list->m_appended.Discard();
    list->clear();
    list->m_itemData.Clear();
    return TRUE;
}

int CListCtrl::GetItemCount() const
{
    ListViewWidget* list = ListOf(this);
    return list ? list->RowCount() : 0;
}

int CListCtrl::InsertItem(int item, const char* text)
{
    ListViewWidget* list = ListOf(this);
    if (!list || item < 0)
        return -1;
    item = std::min(item, list->RowCount());
    auto* row = new QTreeWidgetItem;
    row->setText(0, ToQString(text));
    row->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(0));
    list->m_itemData.Add(0, row);
    for (int column = 0; column < list->columnCount(); ++column)
        row->setTextAlignment(column, Qt::Alignment(list->headerItem()->textAlignment(column)));
    if (item == list->RowCount()) {
        list->m_appended.Append(row);
        return item;
    }
    list->m_appended.Join();
    list->insertTopLevelItem(item, row);
    return item;
}

BOOL CListCtrl::SetItem(const LVITEM* item)
{
    ListViewWidget* list = ListOf(this);
    QTreeWidgetItem* row = list ? list->RowItem(item->iItem) : nullptr;
    if (!row)
        return FALSE;
    if (item->mask & LVIF_TEXT)
        row->setText(item->iSubItem, ToQString(item->pszText));
    if (item->mask & LVIF_PARAM)
        SetRowData(list, row, item->lParam);
    // As the system's list view does, a change of a subitem's text alone is
    // not reported; the item's own text and its data are.
    const UINT reported = (item->mask & LVIF_PARAM) | ((item->iSubItem == 0) ? (item->mask & LVIF_TEXT) : 0);
    if (reported)
        list->NotifyItemChanged(item->iItem, reported, 0, 0);
    if (item->mask & LVIF_STATE)
        SetItemState(item->iItem, item->state, item->stateMask);
    return TRUE;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    LVITEM change;
    change.mask = LVIF_TEXT;
    change.iItem = item;
    change.iSubItem = subItem;
    change.pszText = text;
    return SetItem(&change);
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    ListViewWidget* list = ListOf(this);
    QTreeWidgetItem* row = list ? list->RowItem(item) : nullptr;
    return row ? row->text(subItem).toLocal8Bit().toStdString() : std::string();
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    ListViewWidget* list = ListOf(this);
    QTreeWidgetItem* row = list ? list->RowItem(item) : nullptr;
    return row ? static_cast<DWORD_PTR>(DataOf(row)) : 0;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data)
{
    LVITEM change;
    change.mask = LVIF_PARAM;
    change.iItem = item;
    change.lParam = static_cast<LPARAM>(data);
    return SetItem(&change);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    ListViewWidget* list = JoinedListOf(this);
    QTreeWidgetItem* row = list ? list->topLevelItem(item) : nullptr;
    if (!row)
        return FALSE;
    if (mask & LVIS_FOCUSED) {
        if (state & LVIS_FOCUSED) {
            QSignalBlocker block(list->selectionModel());
            list->selectionModel()->setCurrentIndex(list->indexFromItem(row), QItemSelectionModel::NoUpdate);
        }
    }
    if (mask & LVIS_SELECTED) {
        if (state & LVIS_SELECTED)
            list->SelectItem(row);
        else if (list->SelectedItem() == row)
            list->SelectItem(nullptr);
    }
    return TRUE;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    ListViewWidget* list = ListOf(this);
    QTreeWidgetItem* row = list ? list->RowItem(item) : nullptr;
    if (!row)
        return 0;
    UINT state = 0;
    if (list->SelectedItem() == row)
        state |= LVIS_SELECTED;
    if (list->currentItem() == row)
        state |= LVIS_FOCUSED;
    return state & mask;
}

int CListCtrl::GetNextItem(int start, UINT flags) const
{
    ListViewWidget* list = ListOf(this);
    if (!list)
        return -1;
    if (flags & LVNI_SELECTED) {
        int row = list->SelectedItem() ? list->RowOf(list->SelectedItem()) : -1;
        return row > start ? row : -1;
    }
    return start + 1 < list->RowCount() ? start + 1 : -1;
}

int CListCtrl::FindItem(const LVFINDINFO* findInfo, int start) const
{
    ListViewWidget* list = ListOf(this);
    if (!list || !(findInfo->flags & LVFI_PARAM))
        return -1;
    int found = -1;
    for (QTreeWidgetItem* item : list->m_itemData.ItemsWith(findInfo->lParam)) {
        const int row = list->RowOf(item);
        if (row > start && (found < 0 || row < found))
            found = row;
    }
    return found;
}

int CListCtrl::HitTest(POINT point, UINT* flags) const
{
    LVHITTESTINFO info;
    info.pt = point;
    int row = SubItemHitTest(&info);
    if (flags)
        *flags = info.flags;
    return row;
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) const
{
    ListViewWidget* list = ListOf(this);
    info->iItem = -1;
    info->iSubItem = 0;
    info->flags = LVHT_NOWHERE;
    if (!list)
        return -1;
    QPoint inRows = QPoint(info->pt.x, info->pt.y) - list->ViewportOffset();
    if (!list->viewport()->rect().contains(inRows))
        return -1;
    QModelIndex index = list->indexAt(inRows);
    if (!index.isValid())
        return -1;
    info->iItem = index.row();
    info->iSubItem = index.column();
    info->flags = LVHT_ONITEMLABEL;
    return info->iItem;
}

int CListCtrl::GetTopIndex() const
{
    ListViewWidget* list = ListOf(this);
    if (!list || list->topLevelItemCount() == 0)
        return 0;
    QModelIndex top = list->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

int CListCtrl::GetCountPerPage() const
{
    ListViewWidget* list = ListOf(this);
    if (!list)
        return 0;
    int rowHeight = list->topLevelItemCount() > 0 ? list->visualItemRect(list->topLevelItem(0)).height()
                                                  : list->fontMetrics().height() + 2;
    return rowHeight > 0 ? list->viewport()->height() / rowHeight : 0;
}

BOOL CListCtrl::GetItemRect(int item, RECT* rect, int) const
{
    ListViewWidget* list = JoinedListOf(this);
    QTreeWidgetItem* row = list ? list->topLevelItem(item) : nullptr;
    if (!row)
        return FALSE;
    QRect cell = list->visualItemRect(row);
    const QPoint offset = list->ViewportOffset();
    const int left = -list->header()->offset() + offset.x();
    *rect = RECT{left, cell.top() + offset.y(), left + list->header()->length(), cell.bottom() + 1 + offset.y()};
    return TRUE;
}

int CListCtrl::GetStringWidth(const char* text) const
{
    ListViewWidget* list = ListOf(this);
    return list ? list->fontMetrics().horizontalAdvance(ToQString(text)) : 0;
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE compare, DWORD_PTR sortParameter)
{
    ListViewWidget* list = JoinedListOf(this);
    if (!list)
        return FALSE;
    QTreeWidgetItem* selected = list->SelectedItem();
    QTreeWidgetItem* current = list->currentItem();
    std::vector<QTreeWidgetItem*> rows;
    list->m_quiet = true;
    {
        QSignalBlocker block(list->selectionModel());
        while (list->topLevelItemCount() > 0)
            rows.push_back(list->takeTopLevelItem(0));
        std::stable_sort(rows.begin(), rows.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
            return compare(DataOf(a), DataOf(b), static_cast<LPARAM>(sortParameter)) < 0;
        });
        for (QTreeWidgetItem* row : rows)
            list->addTopLevelItem(row);
        if (current)
            list->selectionModel()->setCurrentIndex(list->indexFromItem(current), QItemSelectionModel::NoUpdate);
        if (selected)
            selected->setSelected(true);
    }
    list->m_quiet = false;
    return TRUE;
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl()
{
    ListViewWidget* list = ListOf(this);
    if (!list)
        return nullptr;
    if (platform::WidgetOf(&m_header) != list->Header())
        platform::Attach(&m_header, list->Header(), WS_CHILD | WS_VISIBLE);
    return &m_header;
}
