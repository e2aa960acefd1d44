#include "about/KorvuIcon.h"

#include <QImageReader>
#include <QPixmap>

QIcon korvuIcon()
{
    QIcon icon;
    // Windows ask for small sizes; the 256-pixel picture is for the desktop's
    // icon theme, which the package installs, and would only sit in memory here.
    for (const int size : {16, 32, 48}) {
        // Named as PNG and not sniffed: no other image format plugin is loaded
        // at start-up just to look at the program's own icon.
        QImageReader reader(QStringLiteral(":/icons/korvu-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}
