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

Status write(const QString &path, const QStringList &values)
{
    return TextFile::writeLines(path, values);
}

Result<QStringList> read(const QString &path)
{
    return TextFile::readLines(path);
}

Status save(const QString &folder, const QString &tag, const QStringList &values)
{
    QDir().mkpath(folder);
    return write(folder + tag, values);
}

Result<QStringList> load(const QString &folder, const QString &tag)
{
    QDir().mkpath(folder);
    if (!QLTBas::FileExists(folder + tag))
        return Failure{QStringLiteral("No data exists with that identifier.")};
    return read(folder + tag);
}

} // namespace DataSets
