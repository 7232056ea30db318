#include "core/model/settingsfile.h"

#include "core/model/textfile.h"

#include <QFileInfo>

namespace SettingsFile {

QString settingsPath(const QString &appFolder) { return appFolder + QStringLiteral("qlt.ini"); }

Settings read(const QString &appFolder)
{
    const QString path = settingsPath(appFolder);
    const Result<QStringList> lines = QFileInfo(path).isFile() ? TextFile::readLines(path) : Failure{};
    if (!lines)
        return {QStringLiteral("Sample Model"), appFolder};
    Settings s{lines->value(0), lines->value(1)};
    if (s.modelFolder.isEmpty() || s.modelFolder == QStringLiteral("0"))
        s.modelFolder = appFolder;
    return s;
}

Status write(const QString &appFolder, const Settings &settings)
{
    QStringList lines{settings.modelName, settings.modelFolder};
    for (int i = 0; i < 33; ++i)
        lines << QStringLiteral("0");
    return TextFile::writeLines(settingsPath(appFolder), lines);
}

} // namespace SettingsFile
