#pragma once

// The indicator list: report view with single selection. It adds inserting
// the column set in one call, a hit test that also gives the column, a click
// rule that selects a row only from its first column, taking the focus when
// scrolled, and the sort mark in the header.

#include "afx_listctrl.h"

class CBitmap;

class CMyListCtrl : public CListCtrl {
public:
    BOOL InsertColumns(const LVCOLUMN* columns, int count);
    // The row under a point in client coordinates, or -1; the column through
    // column when given.
    int HitTestColumn(POINT point, int* column) const;
    // Marks the column as the sorted one, its triangle pointing up for a
    // descending sort; the other columns show their plain titles.
    void SetSortMark(int column, bool descending);

    DECLARE_MESSAGE_MAP()

protected:
    void OnHScroll(UINT code, UINT position, CWnd* scrollBar);
    void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
    void OnLButtonDown(UINT flags, CPoint point);

private:
    void FocusOnScroll();
    bool ColumnAt(const RECT& rowBounds, POINT point, int* column) const;
    void PaintSortMark(CWnd* header, const char* text, int width, int height, bool descending,
                       CBitmap& mark) const;
    static void ShowSortMark(CHeaderCtrl* header, int column, bool descending, const CBitmap& mark);
};
