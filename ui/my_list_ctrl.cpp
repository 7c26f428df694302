#include "ui/my_list_ctrl.h"

#include <algorithm>
#include <iterator>

#include "afx_gdi.h"
#include "win_resource.h"

namespace {

constexpr DWORD kListViewTypeMask = 0x3;
// Room kept right of the title for the triangle; a narrower column shows
// the triangle alone.
constexpr int kSortMarkRoom = 32;
constexpr int kHeaderTextBufferSize = 256;

// The triangle's corners after a title tw pixels wide, closed on the first.
struct TriangleOutline {
    POINT corners[4];
};

TriangleOutline SortTriangle(int tw, bool descending)
{
    if (descending)
        return {{{tw + 8, 4}, {tw + 4, 12}, {tw + 12, 12}, {tw + 8, 4}}};
    return {{{tw + 12, 4}, {tw + 4, 4}, {tw + 8, 12}, {tw + 12, 4}}};
}

}  // namespace

BEGIN_MESSAGE_MAP(CMyListCtrl, CListCtrl)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CMyListCtrl::InsertColumns(const LVCOLUMN* columns, int count)
{
    if (!DeleteAllItems())
        return FALSE;
    for (int i = 0; i < count; ++i) {
        LVCOLUMN copy = columns[i];
        if (InsertColumn(i, &copy) < 0)
            return FALSE;
    }
    return TRUE;
}

int CMyListCtrl::HitTestColumn(POINT point, int* column) const
{
    int row = HitTest(point);
    if (column)
        *column = 0;
    if ((GetStyle() & kListViewTypeMask) != LVS_REPORT)
        return row;
    const int first = GetTopIndex();
    const int last = std::min(first + GetCountPerPage(), GetItemCount());
    for (int candidate = first; candidate <= last && candidate < GetItemCount(); ++candidate) {
        CRect bounds;
        GetItemRect(candidate, &bounds, LVIR_BOUNDS);
        if (bounds.PtInRect(point) && ColumnAt(bounds, point, column))
            return candidate;
    }
    return -1;
}

// A point on the border between two columns belongs to the left one; columns
// are taken in index order, however the user arranged them.
bool CMyListCtrl::ColumnAt(const RECT& rowBounds, POINT point, int* column) const
{
    CHeaderCtrl* header = const_cast<CMyListCtrl*>(this)->GetHeaderCtrl();
    const int count = header ? header->GetItemCount() : 0;
    int x = rowBounds.left;
    for (int c = 0; c < count; ++c) {
        const int width = GetColumnWidth(c);
        if (x <= point.x && point.x <= x + width) {
            if (column)
                *column = c;
            return true;
        }
        x += width;
    }
    return false;
}

void CMyListCtrl::FocusOnScroll()
{
    if (GetFocus() != this)
        SetFocus();
}

void CMyListCtrl::OnHScroll(UINT code, UINT position, CWnd* scrollBar)
{
    FocusOnScroll();
    CListCtrl::OnHScroll(code, position, scrollBar);
}

void CMyListCtrl::OnVScroll(UINT code, UINT position, CWnd* scrollBar)
{
    FocusOnScroll();
    CListCtrl::OnVScroll(code, position, scrollBar);
}

// Only a click on the address column selects a row; a click elsewhere on a
// row focuses it and leaves it unselected.
void CMyListCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    CListCtrl::OnLButtonDown(flags, point);
    int column = 0;
    int row = HitTestColumn(point, &column);
    if (row < 0)
        return;
    const UINT state = column == 0 ? (LVIS_SELECTED | LVIS_FOCUSED) : LVIS_FOCUSED;
    SetItemState(row, state, LVIS_SELECTED | LVIS_FOCUSED);
}

// The sorted column shows its title and a triangle, pointing up for a
// descending sort, drawn into one bitmap; every other column shows its plain
// title. The sort direction is also given as the format's sort flag, for
// assistive technology. The triangle follows the title's full width even when the title is
// cut, as the list's font measures it.
void CMyListCtrl::SetSortMark(int column, bool descending)
{
    CHeaderCtrl* header = GetHeaderCtrl();
    if (!header)
        return;
    char text[kHeaderTextBufferSize] = "";
    HDITEM item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = kHeaderTextBufferSize;
    if (!header->GetItem(column, &item))
        return;
    CRect headerClient;
    header->GetClientRect(&headerClient);

    CBitmap mark;
    PaintSortMark(header, text, item.cxy, headerClient.Height(), descending, mark);
    ShowSortMark(header, column, descending, mark);
}

void CMyListCtrl::PaintSortMark(CWnd* header, const char* text, int width, int height, bool descending,
                                CBitmap& mark) const
{
    CClientDC headerDC(header);
    CDC memoryDC;
    if (!mark.CreateCompatibleBitmap(&headerDC, width, height) || !memoryDC.CreateCompatibleDC(&headerDC))
        return;
    CBitmap* oldBitmap = memoryDC.SelectObject(&mark);
    CBrush* face = CBrush::FromHandle(GetSysColorBrush(COLOR_BTNFACE));
    CBrush* oldBrush = memoryDC.SelectObject(face);
    const CRect all(0, 0, width, height);
    memoryDC.FillRect(all, face);
    CGdiObject* oldFont = memoryDC.SelectStockObject(DEFAULT_GUI_FONT);
    // The header's own text colour, so title and mark read on every colour scheme.
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    if (width > kSortMarkRoom) {
        memoryDC.SetBkMode(TRANSPARENT);
        memoryDC.SetTextColor(ink);
        CRect textBox(0, 2, width - kSortMarkRoom, height - 2);
        memoryDC.DrawText(text, -1, textBox, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    CPen pen(PS_SOLID, 1, ink);
    CPen* oldPen = memoryDC.SelectObject(&pen);
    const TriangleOutline triangle = SortTriangle(GetStringWidth(text), descending);
    memoryDC.MoveTo(triangle.corners[0].x, triangle.corners[0].y);
    for (size_t corner = 1; corner < std::size(triangle.corners); ++corner)
        memoryDC.LineTo(triangle.corners[corner].x, triangle.corners[corner].y);
    memoryDC.SelectObject(oldPen);
    memoryDC.SelectObject(oldFont);
    memoryDC.SelectObject(oldBrush);
    memoryDC.SelectObject(oldBitmap);
    memoryDC.DeleteDC();
}

// The header keeps its own copy of the bitmap, so the mark may go afterwards.
void CMyListCtrl::ShowSortMark(CHeaderCtrl* header, int column, bool descending, const CBitmap& mark)
{
    const int count = header->GetItemCount();
    for (int other = 0; other < count; ++other) {
        HDITEM item{};
        item.mask = HDI_FORMAT;
        item.fmt = HDF_LEFT | HDF_STRING;
        if (other == column) {
            item.mask |= HDI_BITMAP;
            item.fmt = HDF_BITMAP | (descending ? HDF_SORTDOWN : HDF_SORTUP);
            item.hbm = mark;
        }
        header->SetItem(other, &item);
    }
}
