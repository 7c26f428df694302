#include "desktop_font.h"

#include <QApplication>
#include <QScreen>

namespace platform {
namespace {

// The interface font size of a desktop left as installed, for which the
// template was laid out.
constexpr double kUsualDesktopPointSize = 9.0;

bool IsInterfaceFace(const QString& family)
{
    return family.compare(QLatin1String("MS Shell Dlg"), Qt::CaseInsensitive) == 0 ||
           family.compare(QLatin1String("MS Shell Dlg 2"), Qt::CaseInsensitive) == 0;
}

double DesktopPointSize(const QFont& desktop)
{
    if (desktop.pointSizeF() > 0)
        return desktop.pointSizeF();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return desktop.pixelSize() > 0 ? desktop.pixelSize() * 72.0 / dpi : kUsualDesktopPointSize;
}

}  // namespace

double DesktopFontScale() { return DesktopPointSize(QApplication::font()) / kUsualDesktopPointSize; }

QFont DesktopScaledFont(const char* family, int pointSize)
{
    const QFont desktop = QApplication::font();
    const QString face = QString::fromLocal8Bit(family ? family : "");
    QFont font(IsInterfaceFace(face) || face.isEmpty() ? desktop.family() : face);
    font.setPointSizeF(pointSize * DesktopFontScale());
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace platform
