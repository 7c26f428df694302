#pragma once

// The dialog font as the user's desktop sets it. "MS Shell Dlg" names the
// system's interface face, not a face of its own; a template's point size is
// meant for a desktop whose interface font is the usual 9 points, and grows
// or shrinks with the user's choice.

#include <QFont>

namespace platform {

QFont DesktopScaledFont(const char* family, int pointSize);

// How much larger the desktop's interface font is than the usual one: what
// a size in pixels meant for the usual font is multiplied by.
double DesktopFontScale();

}  // namespace platform
