#pragma once

// Drawing: device contexts, bitmaps, pens, brushes and fonts.
//
// A memory context draws into the bitmap selected into it; a window's context
// serves only as the source of compatible memory contexts and draws nothing.
// Text is drawn left and top aligned in the selected font, in the text
// colour (black until set).
//
// A CBitmap owns its pixels and frees them when destroyed or deleted. A
// control given its handle keeps its own copy of the pixels, so the CBitmap
// may go as soon as the control has it, and a control that replaces a bitmap
// releases its copy: nothing outlives its last user.

#include "afx_wnd.h"
#include "win_types.h"
#include "native/afx_gdi.h"

class CDC;

class CGdiObject {
public:
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() = default;

protected:
    CGdiObject() = default;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    // Only a solid pen one pixel wide is made; any other stays uncreated and
    // cannot be selected.
    CPen(int style, int width, COLORREF color) : m_color(color), m_created(style == PS_SOLID && width <= 1) {}

private:
    friend class CDC;
    explicit CPen(COLORREF color) : m_color(color), m_created(true) {}
    COLORREF m_color = 0;
    bool m_created = false;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) : m_color(color), m_created(true) {}

    static CBrush* FromHandle(HBRUSH brush);
    operator HBRUSH();

private:
    friend class CDC;
    friend HBRUSH GetSysColorBrush(int index);
    COLORREF m_color = 0;
    bool m_created = false;
};

// The one font there is: the stock 8-point sans-serif interface font.
class CFont : public CGdiObject {
public:
    CFont() = default;

private:
    friend class CDC;
    explicit CFont(bool created) : m_created(created) {}
    bool m_created = false;
};

class CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    ~CBitmap() override;

    // A bitmap of the given size in the colour format of the context; its
    // pixels start black. A size of zero gives a one-pixel bitmap.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL DeleteObject();
    operator HBITMAP() const { return m_pixels; }

private:
    friend class CDC;
    HBITMAP m_pixels = nullptr;
};

// The system brush of a colour; it belongs to the system and is never deleted.
// Null for a colour without one.
HBRUSH GetSysColorBrush(int index);

class CDC {
public:
    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    // A memory context that starts with a black pen, a white brush, the
    // interface font and a bitmap without pixels selected.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    // Each returns the object it replaced, or null when the object is not
    // created or the context draws nothing.
    CBitmap* SelectObject(CBitmap* bitmap);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);

    void FillRect(const RECT* rect, CBrush* brush);
    // Returns the previous mode, or 0 when the mode is unknown.
    int SetBkMode(int mode);
    // Returns the previous text colour.
    COLORREF SetTextColor(COLORREF color);
    // count -1: text ends at its NUL. Returns the height of the drawn text.
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    CPoint MoveTo(int x, int y);
    // Draws with the selected pen up to, not including, the end point, which
    // becomes the current position.
    BOOL LineTo(int x, int y);
    // Draws the icon at its large size with its top left corner at x, y.
    BOOL DrawIcon(int x, int y, HICON icon);

protected:
    // A context of the window: CClientDC makes it.
    void AttachWindow(CWnd* window) { m_window = window; }

private:
    static CGdiObject* StockObject(int index);
    bool CanSourceMemory() const;
    HBITMAP SelectedPixels() const { return m_bitmap ? m_bitmap->m_pixels : nullptr; }
    template <typename Object>
    Object* Replace(Object*& selected, Object* object, bool created);

    bool m_memory = false;
    CWnd* m_window = nullptr;  // of a window's context
    CBitmap* m_bitmap = nullptr;
    CPen* m_pen = nullptr;
    CBrush* m_brush = nullptr;
    CFont* m_font = nullptr;
    int m_bkMode = OPAQUE;
    COLORREF m_textColor = 0;
    CPoint m_position;
};

// The context of a window's client area while it lives.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window) { AttachWindow(window); }
};

// The context for painting a window while it handles WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window) { AttachWindow(window); }
};
