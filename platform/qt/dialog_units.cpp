#include "dialog_units.h"

#include <QFontMetrics>

#include <cmath>

namespace platform {
namespace {

int MulDiv(int value, int numerator, int denominator)
{
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

}  // namespace

BaseUnits BaseUnitsOf(const QFont& font)
{
    QFontMetrics metrics(font);
    int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnits{(alphabet / 26 + 1) / 2, metrics.height()};
}

// Position and size each on their own, as the system's dialog manager makes
// a template's controls.
QRect MapDialogRect(const BaseUnits& units, int x, int y, int cx, int cy)
{
    return QRect(MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(cx, units.x, 4), MulDiv(cy, units.y, 8));
}

}  // namespace platform
