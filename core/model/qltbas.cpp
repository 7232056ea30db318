#include "core/model/qltbas.h"

#include "platform/folders.h"
#include "version.h"

#include <QFileInfo>

namespace QLTBas {

ProgramState &state()
{
    static ProgramState s;
    return s;
}

void resetState() { state() = ProgramState(); }

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

void FindSystemFolders() { state().WindowsFolder = Platform::uninstallerFolder(); }

void FindStartupFolders()
{
    ProgramState &s = state();
    s.AppFolder = Platform::appFolder();
    FindSystemFolders();
    s.VersionText = versionText(QLT_VERSION_MAJOR, QLT_VERSION_MINOR, QLT_VERSION_PATCH);
}

} // namespace QLTBas
