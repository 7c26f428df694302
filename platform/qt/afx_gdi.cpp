#include "afx_gdi.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <cstdlib>
#include <functional>

#include "desktop_font.h"
#include "wnd_internal.h"

namespace {

QPixmap* PixelsOf(HBITMAP bitmap) { return reinterpret_cast<QPixmap*>(bitmap); }

QColor ColorOf(COLORREF color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

COLORREF ColorRefOf(const QColor& color)
{
    return RGB(static_cast<BYTE>(color.red()), static_cast<BYTE>(color.green()), static_cast<BYTE>(color.blue()));
}

// What a new memory context draws into until it is given a bitmap.
CBitmap& NoPixels()
{
    static CBitmap none;
    return none;
}

// Each drawing opens its own painter, so no painter outlives a call and the
// pixels may be copied or freed between calls.
bool PaintInto(HBITMAP pixels, const std::function<void(QPainter&)>& draw)
{
    QPixmap* target = PixelsOf(pixels);
    if (!target)
        return false;
    QPainter painter(target);
    draw(painter);
    return true;
}

// A single line shows its line breaks as blanks.
QString ElidedText(QString text, const QFontMetrics& metrics, int width, int flags)
{
    if (flags & Qt::TextSingleLine)
        text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, width, flags & Qt::TextShowMnemonic);
    return lines.join(QLatin1Char('\n'));
}

int TextFlagsOf(UINT format)
{
    int flags = Qt::AlignLeft | Qt::AlignTop;
    if (format & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    return flags;
}

// The stock interface font: the 8-point face dialogs are laid out in, so
// that text drawn in it measures as in the controls.
QFont InterfaceFont() { return platform::DesktopScaledFont("MS Shell Dlg", 8); }

// The pixels of a line from its start up to, not including, its end, so that
// lines drawn end to end touch every pixel once. The toolkit's own lines
// leave out different ends depending on their slope.
QPolygon LinePixels(QPoint from, QPoint to)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    QPolygon pixels;
    for (QPoint pixel = from; pixel != to;) {
        pixels << pixel;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            pixel.rx() += stepX;
        }
        if (twice <= dx) {
            error += dx;
            pixel.ry() += stepY;
        }
    }
    return pixels;
}

QRect RectOf(const RECT& rect) { return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top); }

}  // namespace

// ---- CBitmap ------------------------------------------------------------

CBitmap::~CBitmap() { DeleteObject(); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    if (!dc || m_pixels || width < 0 || height < 0)
        return FALSE;
    // Drawn at the screens' finest scale, so text and lines stay sharp where
    // the desktop scales windows up.
    const qreal scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const QSize size = width == 0 || height == 0 ? QSize(1, 1) : QSize(width, height);
    auto* pixels = new QPixmap(size * scale);
    pixels->setDevicePixelRatio(scale);
    pixels->fill(Qt::black);
    m_pixels = reinterpret_cast<HBITMAP>(pixels);
    return TRUE;
}

BOOL CBitmap::DeleteObject()
{
    if (!m_pixels)
        return FALSE;
    delete PixelsOf(m_pixels);
    m_pixels = nullptr;
    return TRUE;
}

// ---- Brushes ------------------------------------------------------------

COLORREF GetSysColor(int index)
{
    switch (index) {
    case COLOR_BTNFACE:
        return ColorRefOf(QApplication::palette().color(QPalette::Button));
    case COLOR_BTNTEXT:
        return ColorRefOf(QApplication::palette().color(QPalette::ButtonText));
    default:
        return 0;
    }
}

// The brush follows the toolkit's palette as it is when asked for.
HBRUSH GetSysColorBrush(int index)
{
    if (index != COLOR_BTNFACE)
        return nullptr;
    static CBrush face;
    face.m_color = GetSysColor(COLOR_BTNFACE);
    face.m_created = true;
    return face;
}

CBrush* CBrush::FromHandle(HBRUSH brush) { return reinterpret_cast<CBrush*>(brush); }

CBrush::operator HBRUSH() { return m_created ? reinterpret_cast<HBRUSH>(this) : nullptr; }

// ---- CDC ----------------------------------------------------------------

CDC::CDC() = default;

CDC::~CDC() { DeleteDC(); }

bool CDC::CanSourceMemory() const { return m_memory || (m_window && platform::WidgetOf(m_window)); }

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    if (m_memory || m_window || (dc && !dc->CanSourceMemory()))
        return FALSE;
    m_memory = true;
    m_bitmap = &NoPixels();
    m_pen = static_cast<CPen*>(StockObject(BLACK_PEN));
    m_brush = static_cast<CBrush*>(StockObject(WHITE_BRUSH));
    m_font = static_cast<CFont*>(StockObject(DEFAULT_GUI_FONT));
    m_bkMode = OPAQUE;
    m_position = CPoint(0, 0);
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    return Replace(m_bitmap, bitmap, bitmap && (bitmap->m_pixels || bitmap == &NoPixels()));
}

void CDC::FillRect(const RECT* rect, CBrush* brush)
{
    if (!m_memory || !rect || !brush || !brush->m_created)
        return;
    const QColor color = ColorOf(brush->m_color);
    PaintInto(SelectedPixels(), [&](QPainter& painter) { painter.fillRect(RectOf(*rect), color); });
}

// Text is clipped to its rectangle.
int CDC::DrawText(const char* text, int count, RECT* rect, UINT format)
{
    if (!m_memory || !text || !rect)
        return 0;
    const QString string = count < 0 ? QString::fromLocal8Bit(text) : QString::fromLocal8Bit(text, count);
    const QFont font = InterfaceFont();
    const QRect box = RectOf(*rect);
    const int flags = TextFlagsOf(format);
    const QString shown =
        (format & DT_END_ELLIPSIS) ? ElidedText(string, QFontMetrics(font), box.width(), flags) : string;
    int height = 0;
    PaintInto(SelectedPixels(), [&](QPainter& painter) {
        painter.setFont(font);
        painter.setPen(ColorOf(m_textColor));
        painter.setBackground(Qt::white);
        painter.setBackgroundMode(m_bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
        painter.setClipRect(box);
        QRect drawn;
        painter.drawText(box, flags, shown, &drawn);
        height = drawn.height();
    });
    return height;
}

CPoint CDC::MoveTo(int x, int y)
{
    const CPoint previous = m_position;
    m_position = CPoint(x, y);
    return previous;
}

BOOL CDC::LineTo(int x, int y)
{
    const QPolygon pixels = LinePixels(QPoint(m_position.x, m_position.y), QPoint(x, y));
    m_position = CPoint(x, y);
    if (!m_memory)
        return FALSE;
    // Whole pixels of the bitmap's own grid, so a scaled bitmap scales them.
    const QColor color = ColorOf(m_pen->m_color);
    return PaintInto(SelectedPixels(), [&](QPainter& painter) {
        for (const QPoint& pixel : pixels)
            painter.fillRect(QRect(pixel, QSize(1, 1)), color);
    });
}

BOOL CDC::DrawIcon(int x, int y, HICON icon)
{
    if (!icon)
        return FALSE;
    const QIcon& picture = *reinterpret_cast<const QIcon*>(icon);
    const QRect target(x, y, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    if (m_memory)
        return PaintInto(SelectedPixels(), [&](QPainter& painter) { picture.paint(&painter, target); });
    // A window's context draws only while the window handles WM_PAINT.
    QWidget* widget = platform::WidgetOf(m_window);
    if (!widget || !widget->testAttribute(Qt::WA_WState_InPaintEvent))
        return FALSE;
    QPainter painter(widget);
    picture.paint(&painter, target);
    return TRUE;
}
