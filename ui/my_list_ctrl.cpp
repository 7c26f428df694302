#include "ui/my_list_ctrl.h"

#include <algorithm>

#include "win_resource.h"

namespace {

constexpr DWORD kListViewTypeMask = 0x3;

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
