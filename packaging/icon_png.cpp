// Renders the program's XPM icon as a PNG of a given size for the desktop's icon theme.
//   quorvane-icon-png ICON.xpm SIZE OUT.png
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: quorvane-icon-png ICON.xpm SIZE OUT.png\n");
        return 1;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[2]);
    if (icon.isNull() || size <= 0) {
        std::fprintf(stderr, "quorvane-icon-png: cannot read '%s'\n", argv[1]);
        return 2;
    }
    // Pixel art: scale by whole pixels, without smoothing.
    const QImage scaled = icon.convertToFormat(QImage::Format_ARGB32)
                              .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return scaled.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 2;
}
