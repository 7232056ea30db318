#include "core/model/datasets.h"

#include "core/model/qltbas.h"
#include "core/model/textfile.h"
#include "platform/filesystem.h"

#include <QCollator>
#include <QDir>

#include <algorithm>

namespace DataSets {

QString dataFolder(const QString &modelFolder, const QString &modelName)
{
    return modelFolder + modelName + QLatin1Char('/');
}

QStringList listTags(const QString &folder)
{
    QStringList tags = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    tags.removeIf(Platform::isOwnTemporaryFile);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(tags.begin(), tags.end(), collator);
    return tags;
}

bool write(const QString &path, const QStringList &values, QString *error)
{
    return TextFile::writeLines(path, values, error);
}

bool read(const QString &path, QStringList &values, QString *error)
{
    return TextFile::readLines(path, values, error);
}

bool save(const QString &folder, const QString &tag, const QStringList &values, QString *error)
{
    QDir().mkpath(folder);
    return write(folder + tag, values, error);
}

bool load(const QString &folder, const QString &tag, QStringList &values, QString *error)
{
    QDir().mkpath(folder);
    if (!QLTBas::FileExists(folder + tag)) {
        if (error)
            *error = QStringLiteral("No data exists with that identifier.");
        return false;
    }
    return read(folder + tag, values, error);
}

} // namespace DataSets
