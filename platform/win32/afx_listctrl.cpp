#include "afx_listctrl.h"

#include <map>
#include <utility>

#include "list_redraw_hold.h"
#include "window_routing.h"

// The control macros send through SNDMSG, which the shared headers leave
// without its A form (CWnd has a SendMessage of its own).
#undef SNDMSG
#define SNDMSG ::SendMessageA

namespace {

// The header shows a bitmap without taking it over, so it is given a copy
// of its own, kept until the item shows another or none.
std::map<std::pair<HWND, int>, HBITMAP> g_headerBitmaps;

void KeepHeaderBitmap(HWND header, int index, HBITMAP copy)
{
    HBITMAP& kept = g_headerBitmaps[{header, index}];
    if (kept)
        ::DeleteObject(kept);
    kept = copy;
}

char* Writable(const char* text) { return const_cast<char*>(text ? text : ""); }

}  // namespace

// ---- CHeaderCtrl --------------------------------------------------------

int CHeaderCtrl::GetItemCount() const { return Header_GetItemCount(m_hWnd); }

BOOL CHeaderCtrl::GetItem(int index, HDITEM* item) const { return Header_GetItem(m_hWnd, index, item); }

BOOL CHeaderCtrl::SetItem(int index, HDITEM* item)
{
    HDITEM change = *item;
    // The program's bitmap is the sorted column's mark; the system would
    // draw its own arrow beside it.
    change.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (change.mask & HDI_BITMAP) {
        change.hbm = change.hbm ? static_cast<HBITMAP>(::CopyImage(change.hbm, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    } else if ((change.mask & HDI_FORMAT) && !(change.fmt & HDF_BITMAP)) {
        change.mask |= HDI_BITMAP;
        change.hbm = nullptr;
    }
    if (!Header_SetItem(m_hWnd, index, &change)) {
        if ((change.mask & HDI_BITMAP) && change.hbm)
            ::DeleteObject(change.hbm);
        return FALSE;
    }
    if (change.mask & HDI_BITMAP)
        KeepHeaderBitmap(m_hWnd, index, change.hbm);
    return TRUE;
}

// ---- CListCtrl ----------------------------------------------------------

CListCtrl::CListCtrl() = default;

CListCtrl::~CListCtrl() = default;

int CListCtrl::InsertColumn(int column, const LVCOLUMN* description)
{
    return ListView_InsertColumn(m_hWnd, column, description);
}

int CListCtrl::GetColumnWidth(int column) const { return ListView_GetColumnWidth(m_hWnd, column); }

BOOL CListCtrl::DeleteAllItems()
{
    platform::HoldListRedraw(m_hWnd);
    return ListView_DeleteAllItems(m_hWnd);
}

int CListCtrl::GetItemCount() const { return ListView_GetItemCount(m_hWnd); }

int CListCtrl::InsertItem(int item, const char* text)
{
    platform::HoldListRedraw(m_hWnd);
    LVITEM row{};
    row.mask = LVIF_TEXT;
    row.iItem = item;
    row.pszText = Writable(text);
    return ListView_InsertItem(m_hWnd, &row);
}

BOOL CListCtrl::SetItem(const LVITEM* item)
{
    platform::HoldListRedraw(m_hWnd);
    LVITEM change = *item;
    return ListView_SetItem(m_hWnd, &change);
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    platform::HoldListRedraw(m_hWnd);
    LVITEM change{};
    change.iSubItem = subItem;
    change.pszText = Writable(text);
    return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
                                            reinterpret_cast<LPARAM>(&change)));
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    std::string text(256, '\0');
    for (;;) {
        LVITEM request{};
        request.iSubItem = subItem;
        request.pszText = text.data();
        request.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<size_t>(::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                                                reinterpret_cast<LPARAM>(&request)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEM request{};
    request.mask = LVIF_PARAM;
    request.iItem = item;
    return ListView_GetItem(m_hWnd, &request) ? static_cast<DWORD_PTR>(request.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data)
{
    LVITEM change{};
    change.mask = LVIF_PARAM;
    change.iItem = item;
    change.lParam = static_cast<LPARAM>(data);
    return ListView_SetItem(m_hWnd, &change);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    platform::HoldListRedraw(m_hWnd);
    LVITEM change{};
    change.state = state;
    change.stateMask = mask;
    return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                                            reinterpret_cast<LPARAM>(&change)));
}

UINT CListCtrl::GetItemState(int item, UINT mask) const { return ListView_GetItemState(m_hWnd, item, mask); }

int CListCtrl::GetNextItem(int start, UINT flags) const { return ListView_GetNextItem(m_hWnd, start, flags); }

int CListCtrl::FindItem(const LVFINDINFO* findInfo, int start) const
{
    LVFINDINFO search = *findInfo;
    return ListView_FindItem(m_hWnd, start, &search);
}

int CListCtrl::HitTest(POINT point, UINT* flags) const
{
    LVHITTESTINFO info{};
    info.pt = point;
    const int item = ListView_HitTest(m_hWnd, &info);
    if (flags)
        *flags = info.flags;
    return item;
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) const { return ListView_SubItemHitTest(m_hWnd, info); }

int CListCtrl::GetTopIndex() const { return ListView_GetTopIndex(m_hWnd); }

int CListCtrl::GetCountPerPage() const { return ListView_GetCountPerPage(m_hWnd); }

BOOL CListCtrl::GetItemRect(int item, RECT* rect, int code) const
{
    return ListView_GetItemRect(m_hWnd, item, rect, code);
}

int CListCtrl::GetStringWidth(const char* text) const
{
    return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE compare, DWORD_PTR sortParameter)
{
    platform::HoldListRedraw(m_hWnd);
    return ListView_SortItems(m_hWnd, compare, static_cast<LPARAM>(sortParameter));
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl()
{
    HWND header = ListView_GetHeader(m_hWnd);
    if (!header)
        return nullptr;
    if (m_header.m_hWnd != header) {
        platform::Detach(&m_header);
        platform::Attach(&m_header, header);
    }
    return &m_header;
}
