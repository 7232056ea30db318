#include "app/state/datasets.h"

#include "app/state/textfile.h"

#include <QCollator>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <filesystem>

namespace DataSets {

QString dataFolder(const QString &modelFolder, const QString &modelName)
{
    return modelFolder + modelName + QLatin1Char('/');
}

bool isUsableTag(const QString &tag)
{
    return !tag.isEmpty() && tag != QStringLiteral(".") && tag != QStringLiteral("..")
        && !tag.contains(QLatin1Char('/')) && !tag.contains(QLatin1Char('\\')) && !tag.contains(QChar(u'\0'));
}

QStringList listTags(const QString &folder)
{
    QStringList tags = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(tags.begin(), tags.end(), collator);
    return tags;
}

bool write(const QString &path, const QStringList &values, QString *error)
{
    // Every file of the data folder is listed as a tag, so even for a moment
    // no other file may be made there: the data set is written, hidden,
    // beside the folder and then moved in whole.
    const QFileInfo target(path);
    const QString staging = QFileInfo(target.absolutePath()).absolutePath() + QStringLiteral("/.")
        + target.dir().dirName() + QLatin1Char('-') + target.fileName() + QStringLiteral(".saving");
    if (!TextFile::writeLines(staging, values, error))
        return false;
    std::error_code failed;
    std::filesystem::rename(QFile::encodeName(staging).toStdString(), QFile::encodeName(path).toStdString(), failed);
    if (failed) {
        QFile::remove(staging);
        if (error)
            *error = QString::fromLocal8Bit(failed.message());
        return false;
    }
    return true;
}

bool read(const QString &path, QStringList &values, QString *error)
{
    return TextFile::readLines(path, values, error);
}

} // namespace DataSets
