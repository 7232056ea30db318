#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

namespace {
QString home()
{
    // HOME is read on every call, so a test that points it at a temporary
    // folder moves every path of the program with it.
    const QString h = qEnvironmentVariable("HOME");
    return h.isEmpty() ? QDir::homePath() : h;
}
} // namespace

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString homeDrive() { return withTrailingSeparator(QDir::cleanPath(home())); }

QString appFolder() { return homeDrive() + QStringLiteral("Quillmate/"); }

QString uninstallerFolder() { return homeDrive() + QStringLiteral(".local/bin/"); }

QString documentsFolder()
{
    // Qt follows XDG_CONFIG_HOME/user-dirs.dirs and falls back to ~/Documents.
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return withTrailingSeparator(docs.isEmpty() ? home() + QStringLiteral("/Documents") : docs);
}

// A Linux desktop has no documents folder shared by all users.
QString sharedDocumentsFolder() { return QString(); }

QString moduleFileName(const QString &baseName) { return baseName + QStringLiteral(".so"); }

QString programFolder() { return withTrailingSeparator(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath()); }

QStringList driveRoots()
{
    const QString home = QDir::cleanPath(homeDrive());
    return home == QStringLiteral("/") ? QStringList{home} : QStringList{home, QStringLiteral("/")};
}

QString desktopFolder()
{
    const QString desk = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return withTrailingSeparator(desk.isEmpty() ? home() + QStringLiteral("/Desktop") : desk);
}

QString configFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return withTrailingSeparator(xdg.isEmpty() ? homeDrive() + QStringLiteral(".config") : xdg);
}

QString dataFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    return withTrailingSeparator(xdg.isEmpty() ? homeDrive() + QStringLiteral(".local/share") : xdg);
}

QString applicationsFolder() { return dataFolder() + QStringLiteral("applications/"); }

QString trashFolder() { return dataFolder() + QStringLiteral("Trash/"); }

} // namespace Platform
