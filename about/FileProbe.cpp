#include "about/FileProbe.h"

#include <QFileInfo>

bool SystemFileProbe::exists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}
