#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <map>

#include "win_resource.h"

namespace {

int PaletteIndex(char pixel)
{
    if (pixel >= '0' && pixel <= '9')
        return pixel - '0';
    if (pixel >= 'a' && pixel <= 'f')
        return pixel - 'a' + 10;
    return -1;
}

QPixmap RenderImage(const IconImage& image, const uint32_t* palette)
{
    QImage picture(image.size, image.size, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 0; y < image.size; ++y) {
        const char* row = image.rows[y];
        for (int x = 0; x < image.size && row[x]; ++x) {
            int index = PaletteIndex(row[x]);
            if (index >= 0)
                picture.setPixel(x, y, palette[index]);
        }
    }
    return QPixmap::fromImage(picture);
}

}  // namespace

HICON LoadIconA(UINT id)
{
    // Icons live as long as the process, as loaded resources do; the map
    // frees them at its end.
    static std::map<UINT, QIcon> loaded;
    if (auto found = loaded.find(id); found != loaded.end())
        return reinterpret_cast<HICON>(&found->second);
    const IconResource* resource = FindIconResource(id);
    if (!resource)
        return nullptr;
    QIcon& icon = loaded[id];
    for (int i = 0; i < resource->imageCount; ++i)
        icon.addPixmap(RenderImage(resource->images[i], resource->palette));
    return reinterpret_cast<HICON>(&icon);
}
