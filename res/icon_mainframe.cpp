#include "res/resource.h"
#include "win_resource.h"

namespace {

// The standard 16-colour palette, indexed by '0'..'9', 'a'..'f'.
constexpr uint32_t kPalette[16] = {
    0xFF000000, 0xFF000080, 0xFF008000, 0xFF008080, 0xFF800000, 0xFF800080, 0xFF808000, 0xFFC0C0C0,
    0xFF808080, 0xFF0000FF, 0xFF00FF00, 0xFF00FFFF, 0xFFFF0000, 0xFFFF00FF, 0xFFFFFF00, 0xFFFFFFFF,
};

// A weighing indicator: housing, display with a reading, three keys.
constexpr const char* kIndicator32[] = {
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    " 888888888888888888888888888888 ",
    " 8ffffffffffffffffffffffffffff8 ",
    " 8f7777777777777777777777777778 ",
    " 8f7000000000000000000000000778 ",
    " 8f7000000000000000000000000778 ",
    " 8f700aaa00a00aaa00002222200778 ",
    " 8f700a0a00a0000a00000000000778 ",
    " 8f700a0a00a00aaa00002222200778 ",
    " 8f700a0a00a00a0000000000000778 ",
    " 8f700aaa00a00aaa00002222200778 ",
    " 8f7000000000000000000000000778 ",
    " 8f7000000000000000000000000778 ",
    " 8f7777777777777777777777777778 ",
    " 8f7777777777777777777777777778 ",
    " 8f7777777777777777777777777778 ",
    " 8f7111117111117444447222227778 ",
    " 8f7111117111117444447222227778 ",
    " 8f7111117111117444447222227778 ",
    " 8f7111117111117444447222227778 ",
    " 8f7111117111117444447222227778 ",
    " 8f7777777777777777777777777778 ",
    " 8f7777777777777777777777777778 ",
    " 8f7777777777777777777777777778 ",
    " 888888888888888888888888888888 ",
    "      88888888888888888888      ",
    "      88888888888888888888      ",
    "                                ",
    "                                ",
};

constexpr const char* kIndicator16[] = {
    "                ",
    "                ",
    "8888888888888888",
    "8777777777777778",
    "8700000000000078",
    "870a0000a0000078",
    "870aa0a0aa0aa078",
    "8700000000000078",
    "8700000000000078",
    "8777777777777778",
    "8711174447222278",
    "8711174447222278",
    "8777777777777778",
    "8888888888888888",
    "   8888888888   ",
    "                ",
};

constexpr IconImage kMainIconImages[] = {{32, kIndicator32}, {16, kIndicator16}};
constexpr IconResource kMainIcon = {IDR_MAINFRAME, kPalette, kMainIconImages, 2};

}  // namespace

const IconResource* FindIconResource(UINT id)
{
    return id == IDR_MAINFRAME ? &kMainIcon : nullptr;
}
