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

QRect MapDialogRect(const BaseUnits& units, int x, int y, int cx, int cy)
{
    int left = MulDiv(x, units.x, 4);
    int top = MulDiv(y, units.y, 8);
    int right = MulDiv(x + cx, units.x, 4);
    int bottom = MulDiv(y + cy, units.y, 8);
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace platform
