#pragma once

// Resources the program supplies and the platform reads: dialog templates,
// icons and strings. Dialog geometry is in dialog units.

#include <cstdint>

#include "win_types.h"
#include "native/win_resource.h"

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
