#include "afx_gdi.h"

#include <map>
#include <memory>

// Each drawing call makes a system memory context for the selected bitmap
// and the selected objects, as they are at that moment.

namespace {

// A system memory context over a bitmap, for one drawing call.
class BitmapContext {
public:
    explicit BitmapContext(HBITMAP pixels)
        : m_dc(::CreateCompatibleDC(nullptr)), m_old(m_dc && pixels ? ::SelectObject(m_dc, pixels) : nullptr)
    {
    }
    BitmapContext(const BitmapContext&) = delete;
    BitmapContext& operator=(const BitmapContext&) = delete;
    ~BitmapContext()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
        if (m_dc)
            ::DeleteDC(m_dc);
    }
    HDC Get() const { return m_old ? m_dc : nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The system's solid brush of a colour, made once.
HBRUSH SolidBrush(COLORREF color)
{
    static std::map<COLORREF, HBRUSH> brushes;
    HBRUSH& brush = brushes[color];
    if (!brush)
        brush = ::CreateSolidBrush(color);
    return brush;
}

}  // namespace

// ---- CBitmap ------------------------------------------------------------

CBitmap::~CBitmap() { DeleteObject(); }

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int width, int height)
{
    DeleteObject();
    HDC screen = ::GetDC(nullptr);
    m_pixels = ::CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1);
    ::ReleaseDC(nullptr, screen);
    if (!m_pixels)
        return FALSE;
    BitmapContext context(m_pixels);
    if (context.Get())
        ::PatBlt(context.Get(), 0, 0, width > 0 ? width : 1, height > 0 ? height : 1, BLACKNESS);
    return TRUE;
}

BOOL CBitmap::DeleteObject()
{
    if (!m_pixels)
        return FALSE;
    ::DeleteObject(m_pixels);
    m_pixels = nullptr;
    return TRUE;
}

// ---- Brushes ------------------------------------------------------------

// A system brush stands for a CBrush of its colour that lives as long as the
// program.
CBrush* CBrush::FromHandle(HBRUSH brush)
{
    static std::map<HBRUSH, std::unique_ptr<CBrush>> brushes;
    if (!brush)
        return nullptr;
    std::unique_ptr<CBrush>& known = brushes[brush];
    if (!known) {
        LOGBRUSH description{};
        ::GetObjectA(brush, sizeof description, &description);
        known = std::make_unique<CBrush>(description.lbColor);
    }
    return known.get();
}

CBrush::operator HBRUSH() { return m_created ? SolidBrush(m_color) : nullptr; }

// ---- CDC ----------------------------------------------------------------

CDC::CDC() = default;

CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC*)
{
    static CBitmap noPixels;
    m_memory = true;
    m_bitmap = &noPixels;
    m_pen = static_cast<CPen*>(StockObject(BLACK_PEN));
    m_brush = static_cast<CBrush*>(StockObject(WHITE_BRUSH));
    m_font = static_cast<CFont*>(StockObject(DEFAULT_GUI_FONT));
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) { return Replace(m_bitmap, bitmap, bitmap && bitmap->m_pixels); }

void CDC::FillRect(const RECT* rect, CBrush* brush)
{
    BitmapContext context(SelectedPixels());
    if (context.Get() && brush && brush->m_created)
        ::FillRect(context.Get(), rect, SolidBrush(brush->m_color));
}

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format)
{
    BitmapContext context(SelectedPixels());
    if (!context.Get())
        return 0;
    HDC dc = context.Get();
    ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, m_bkMode);
    ::SetTextColor(dc, m_textColor);
    return ::DrawTextA(dc, text, count, rect, format);
}

CPoint CDC::MoveTo(int x, int y)
{
    const CPoint previous = m_position;
    m_position = CPoint(x, y);
    return previous;
}

BOOL CDC::LineTo(int x, int y)
{
    BitmapContext context(SelectedPixels());
    if (!context.Get() || !m_pen)
        return FALSE;
    HPEN pen = ::CreatePen(PS_SOLID, 1, m_pen->m_color);
    HGDIOBJ old = ::SelectObject(context.Get(), pen);
    ::MoveToEx(context.Get(), m_position.x, m_position.y, nullptr);
    const BOOL drawn = ::LineTo(context.Get(), x, y);
    ::SelectObject(context.Get(), old);
    ::DeleteObject(pen);
    m_position = CPoint(x, y);
    return drawn;
}

BOOL CDC::DrawIcon(int x, int y, HICON icon)
{
    if (m_memory) {
        BitmapContext context(SelectedPixels());
        return context.Get() ? ::DrawIcon(context.Get(), x, y, icon) : FALSE;
    }
    if (!m_window || !m_window->m_hWnd)
        return FALSE;
    HDC dc = ::GetDC(m_window->m_hWnd);
    const BOOL drawn = ::DrawIcon(dc, x, y, icon);
    ::ReleaseDC(m_window->m_hWnd, dc);
    return drawn;
}
