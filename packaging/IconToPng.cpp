// velmora-icon-png: converts one image of the program icon to PNG for the desktop's icon
// theme, at build time.
//
//   velmora-icon-png IN.xpm SIZE OUT.png
//
// The image must be SIZE x SIZE pixels; it is written unscaled, with its transparency.
// Exit status: 0 written, 1 unreadable, wrong size or not written, 64 bad usage.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QImage>
#include <QString>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: velmora-icon-png IN.xpm SIZE OUT.png\n", stderr);
        return 64;
    }
    char* end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    if (*argv[2] == '\0' || *end != '\0' || size < 1 || size > 1024) {
        std::fprintf(stderr, "velmora-icon-png: bad size '%s'\n", argv[2]);
        return 64;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "velmora-icon-png: %s: not a readable image\n", argv[1]);
        return 1;
    }
    if (image.width() != size || image.height() != size) {
        std::fprintf(stderr, "velmora-icon-png: %s: %dx%d pixels, expected %ldx%ld\n", argv[1], image.width(),
                     image.height(), size, size);
        return 1;
    }
    if (!image.convertToFormat(QImage::Format_ARGB32).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "velmora-icon-png: %s: cannot write\n", argv[3]);
        return 1;
    }
    return 0;
}
