#pragma once

// Windows and controls: a CWnd stands over one widget. Messages reach the
// handlers of the class's message map; "default processing" is the widget's
// own behaviour for the message being handled.

#include <memory>
#include <string>

#include "afx_msgmap.h"
#include "win_types.h"

class CPoint : public POINT {
public:
    CPoint() = default;
    CPoint(int x0, int y0) { x = x0; y = y0; }
    CPoint(const POINT& point) : POINT(point) {}
};

class CRect : public RECT {
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rect) : RECT(rect) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool PtInRect(POINT point) const
    {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    operator RECT*() { return this; }
    operator const RECT*() const { return this; }
};

class CWnd : public CCmdTarget {
public:
    CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The permanent CWnd of a window, or a CWnd made for it that lives as
    // long as the window.
    static CWnd* FromHandle(HWND window);

    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;

    void SetWindowText(const char* text);
    std::string GetWindowText() const;
    void SetDlgItemText(int id, const char* text);
    std::string GetDlgItemText(int id) const;

    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ScreenToClient(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ClientToScreen(POINT* point) const;
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void Invalidate(BOOL erase = TRUE) { InvalidateRect(nullptr, erase); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL IsIconic() const;

    // Restarting an id restarts its timer.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* timerProc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    UINT IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, UINT check);

    HICON SetIcon(HICON icon, BOOL bigIcon);
    CWnd* SetFocus();
    static CWnd* GetFocus();

    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // Runs the message through the message map; without an entry, the
    // window's default processing.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    BOOL SubclassDlgItem(UINT id, CWnd* parent);

    struct Impl;
    Impl* GetImpl() const { return m_impl.get(); }

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

protected:
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    void OnDestroy();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTimer(UINT_PTR id);
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnHScroll(UINT code, UINT position, CWnd* scrollBar);
    void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
    void OnLButtonDown(UINT flags, CPoint point);

private:
    std::unique_ptr<Impl> m_impl;
};

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

int GetSystemMetrics(int index);
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

// The cursor position, in screen coordinates, of the last mouse message:
// x in the low word, y in the high word, each a signed 16-bit value.
DWORD GetMessagePos();
inline int GET_X_LPARAM(LPARAM value) { return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(value))); }
inline int GET_Y_LPARAM(LPARAM value) { return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(value))); }
