#pragma once

// The list view control in report view, and its header.

#include <string>

#include "afx_wnd.h"
#include "win_types.h"
#include "native/afx_listctrl.h"

class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const;
    BOOL GetItem(int index, HDITEM* item) const;
    BOOL SetItem(int index, HDITEM* item);
};

class CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;

    int InsertColumn(int column, const LVCOLUMN* description);
    int GetColumnWidth(int column) const;
    BOOL DeleteAllItems();
    int GetItemCount() const;
    int InsertItem(int item, const char* text);
    BOOL SetItem(const LVITEM* item);
    BOOL SetItemText(int item, int subItem, const char* text);
    std::string GetItemText(int item, int subItem) const;
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    int GetNextItem(int start, UINT flags) const;
    // The first item after start (-1: from the top) whose data is the given
    // one (LVFI_PARAM, the only search kept); -1 if there is none.
    int FindItem(const LVFINDINFO* findInfo, int start = -1) const;

    int HitTest(POINT point, UINT* flags = nullptr) const;
    int SubItemHitTest(LVHITTESTINFO* info) const;
    int GetTopIndex() const;
    int GetCountPerPage() const;
    BOOL GetItemRect(int item, RECT* rect, int code) const;
    int GetStringWidth(const char* text) const;
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR sortParameter);
    CHeaderCtrl* GetHeaderCtrl();

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

private:
    CHeaderCtrl m_header;
};
