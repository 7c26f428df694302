// Writes the program's icon as a PNG file of one size, for the desktop's icon
// theme, through the same icon loading as the window: the icon resource's
// picture of that size, or else its largest smaller picture scaled up without
// smoothing, so the pixels stay sharp.
//
//   quorvel-icon-png SIZE OUTPUT.png

#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#include <cstdio>
#include <cstdlib>

#include "res/resource.h"
#include "win_resource.h"

namespace {

constexpr int kLargestSize = 512;

QImage Picture(const QIcon& icon, int size)
{
    QSize best;
    for (const QSize& available : icon.availableSizes()) {
        if (available.width() <= size && available.width() > best.width())
            best = available;
    }
    if (best.isEmpty())
        return {};
    const QImage image = icon.pixmap(best).toImage();
    return best.width() == size ? image : image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace

int main(int argc, char** argv)
{
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size <= 0 || size > kLargestSize) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT.png (SIZE 1..%d)\n", argv[0], kLargestSize);
        return 2;
    }
    // Built during the build, where there may be no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const auto* icon = reinterpret_cast<const QIcon*>(LoadIconA(IDR_MAINFRAME));
    const QImage picture = icon ? Picture(*icon, size) : QImage();
    if (picture.isNull()) {
        std::fprintf(stderr, "%s: the icon has no picture of %d pixels or smaller\n", argv[0], size);
        return 1;
    }
    if (!picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
