#include "core/model/qltbas.h"

#include <QFileInfo>

namespace QLTBas {

bool FileExists(QString path)
{
    if (path.endsWith(QChar(u'\0')))
        path.chop(1);
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return false;
    return QFileInfo(path).isFile();
}

QString versionText(int major, int minor, int revision)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.')
        + QString::number(revision);
}

} // namespace QLTBas
