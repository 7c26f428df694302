#pragma once

// Drawing handles, colours and the constants of text, stock objects and system colours.

#include "win_types.h"

struct HBITMAP__;
using HBITMAP = HBITMAP__*;  // stands for the bitmap's pixels
struct HBRUSH__;
using HBRUSH = HBRUSH__*;    // stands for a CBrush; CBrush::FromHandle maps it back

using COLORREF = DWORD;

inline constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue)
{
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) | (static_cast<COLORREF>(blue) << 16);
}

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// DrawText formats.
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_NOPREFIX = 0x0800;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Stock objects.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_PEN = 7;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Pen styles.
inline constexpr int PS_SOLID = 0;

// System colours, as the toolkit's palette has them when asked.
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNTEXT = 18;
COLORREF GetSysColor(int index);
