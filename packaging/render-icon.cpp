#include <cstdio>

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include "app/mainwindow/Artwork.h"
#include "common/SafeFile.h"

// Writes the program's icon as a PNG image of SIDE x SIDE pixels, for the desktop menu's icon theme.
int main(int argc, char *argv[])
{
    bool valid = false;
    const int side = argc == 3 ? QByteArray(argv[1]).toInt(&valid) : 0;
    if (!valid || side < 1) {
        std::fputs("Usage: render-icon SIDE FILE\n", stderr);
        return 2;
    }

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString error = QStringLiteral("the image cannot be encoded");
    if (!Artwork::iconImage(side).save(&buffer, "PNG")
        || !SafeFile::replace(QString::fromLocal8Bit(argv[2]), png, &error)) {
        std::fprintf(stderr, "render-icon: cannot write %s: %s\n", argv[2], qPrintable(error));
        return 1;
    }
    return 0;
}
