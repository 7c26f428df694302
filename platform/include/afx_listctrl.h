#pragma once

// The list view control in report view, and its header.

#include <string>

#include "afx_wnd.h"
#include "win_types.h"

struct HBITMAP__;
using HBITMAP = HBITMAP__*;

inline constexpr UINT LVCF_FMT = 0x1;
inline constexpr UINT LVCF_WIDTH = 0x2;
inline constexpr UINT LVCF_TEXT = 0x4;
inline constexpr UINT LVCF_SUBITEM = 0x8;
inline constexpr int LVCFMT_LEFT = 0x0;
inline constexpr int LVCFMT_RIGHT = 0x1;

inline constexpr UINT LVIF_TEXT = 0x1;
inline constexpr UINT LVIF_PARAM = 0x4;
inline constexpr UINT LVIF_STATE = 0x8;
inline constexpr UINT LVIS_FOCUSED = 0x1;
inline constexpr UINT LVIS_SELECTED = 0x2;
inline constexpr UINT LVNI_ALL = 0x0;
inline constexpr UINT LVNI_SELECTED = 0x2;
inline constexpr int LVIR_BOUNDS = 0;
inline constexpr UINT LVFI_PARAM = 0x1;

inline constexpr UINT LVHT_NOWHERE = 0x1;
inline constexpr UINT LVHT_ONITEMLABEL = 0x4;
inline constexpr UINT LVHT_ONITEM = 0xE;

inline constexpr UINT HDI_WIDTH = 0x1;
inline constexpr UINT HDI_TEXT = 0x2;
inline constexpr UINT HDI_FORMAT = 0x4;
inline constexpr UINT HDI_BITMAP = 0x10;
inline constexpr int HDF_LEFT = 0x0;
inline constexpr int HDF_BITMAP = 0x2000;
inline constexpr int HDF_STRING = 0x4000;

struct LVCOLUMN {
    UINT mask = 0;
    int fmt = 0;
    int cx = 0;
    const char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = 0;
    int iOrder = 0;
};

struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    const char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
};

// The activation notice carries the item-change fields and the key state.
struct NMITEMACTIVATE : NMLISTVIEW {
    UINT uKeyFlags = 0;
};

struct LVFINDINFO {
    UINT flags = 0;
    const char* psz = nullptr;
    LPARAM lParam = 0;
    POINT pt;
    UINT vkDirection = 0;
};

struct LVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};

struct HDITEM {
    UINT mask = 0;
    int cxy = 0;
    char* pszText = nullptr;
    HBITMAP hbm = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
    LPARAM lParam = 0;
};

struct NMHEADER {
    NMHDR hdr;
    int iItem = -1;
    int iButton = 0;
    HDITEM* pitem = nullptr;
};

using PFNLVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sortParameter);

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
