// What a memory device context has selected into it: the same bookkeeping
// whatever draws the pixels.

#include "afx_gdi.h"

CGdiObject* CDC::StockObject(int index)
{
    static CBrush whiteBrush(RGB(255, 255, 255));
    static CPen blackPen(RGB(0, 0, 0));
    static CFont guiFont(true);
    switch (index) {
    case WHITE_BRUSH:
        return &whiteBrush;
    case BLACK_PEN:
        return &blackPen;
    case DEFAULT_GUI_FONT:
        return &guiFont;
    default:
        return nullptr;
    }
}

BOOL CDC::DeleteDC()
{
    if (!m_memory)
        return FALSE;
    m_memory = false;
    m_bitmap = nullptr;
    m_pen = nullptr;
    m_brush = nullptr;
    m_font = nullptr;
    return TRUE;
}

template <typename Object>
Object* CDC::Replace(Object*& selected, Object* object, bool created)
{
    if (!m_memory || !object || !created)
        return nullptr;
    Object* previous = selected;
    selected = object;
    return previous;
}

// Each platform decides when a bitmap holds pixels.
template CBitmap* CDC::Replace<CBitmap>(CBitmap*& selected, CBitmap* object, bool created);

CPen* CDC::SelectObject(CPen* pen) { return Replace(m_pen, pen, pen && pen->m_created); }

CBrush* CDC::SelectObject(CBrush* brush) { return Replace(m_brush, brush, brush && brush->m_created); }

CFont* CDC::SelectObject(CFont* font) { return Replace(m_font, font, font && font->m_created); }

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    if (auto* bitmap = dynamic_cast<CBitmap*>(object))
        return SelectObject(bitmap);
    if (auto* pen = dynamic_cast<CPen*>(object))
        return SelectObject(pen);
    if (auto* brush = dynamic_cast<CBrush*>(object))
        return SelectObject(brush);
    if (auto* font = dynamic_cast<CFont*>(object))
        return SelectObject(font);
    return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) { return SelectObject(StockObject(index)); }

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    const int previous = m_bkMode;
    m_bkMode = mode;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    const COLORREF previous = m_textColor;
    m_textColor = color;
    return previous;
}
