#pragma once

// Pixels read back from the system's bitmaps, 0xAARRGGBB by row as the
// tests compare them.

#include <cstdint>
#include <vector>

#include "win_types.h"

namespace platform::testing {

// A 32-bit bitmap whose first row is the top one.
inline BITMAPINFO TopDownBitmapInfo(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A device bitmap has no alpha: every pixel is opaque.
inline void MakeOpaque(std::vector<uint32_t>& pixels)
{
    for (uint32_t& pixel : pixels)
        pixel |= 0xff000000u;
}

}  // namespace platform::testing
