#pragma once

// Resources the program supplies and the platform reads: dialog templates,
// icons and strings. Dialog geometry is in dialog units.

#include <cstdint>

#include "win_types.h"

inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD DS_SETFONT = 0x40;
inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD LVS_REPORT = 0x0001;
inline constexpr DWORD LVS_SINGLESEL = 0x0004;
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;

enum class DialogControlClass { ListView, Static, Edit, Button };

struct DialogItemTemplate {
    UINT id;
    DialogControlClass controlClass;
    const char* text;
    int x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    UINT id;
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;
    const char* caption;
    const char* fontName;
    int fontPointSize;
    const DialogItemTemplate* items;
    int itemCount;
};

// A 16-colour picture: one character per pixel indexing the palette,
// ' ' transparent.
struct IconImage {
    int size;
    const char* const* rows;
};

struct IconResource {
    UINT id;
    const uint32_t* palette;  // 0xAARRGGBB, indexed by '0'..'9', 'a'..'f'
    const IconImage* images;
    int imageCount;
};

// Implemented by the program's resources; null when there is no such one.
const DialogTemplate* FindDialogResource(UINT id);
const IconResource* FindIconResource(UINT id);
const char* FindStringResource(UINT id);

// The icon resource as a window icon; null when the program has none.
HICON LoadIconA(UINT id);
