#include "about/KorvuIcon.h"

QIcon korvuIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/korvu-%1.png").arg(size), QSize(size, size));
    return icon;
}
