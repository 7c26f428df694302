#pragma once

// Dialog units become pixels through the dialog font's base units, as the
// template's author expects.

#include <QFont>
#include <QRect>

namespace platform {

struct BaseUnits {
    int x;
    int y;
};

BaseUnits BaseUnitsOf(const QFont& font);
QRect MapDialogRect(const BaseUnits& units, int x, int y, int cx, int cy);

}  // namespace platform
