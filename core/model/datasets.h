#pragma once

#include <QString>
#include <QStringList>

// Saved data sets: the values typed for a model, one line per field, in a
// file named by the identifier tag inside the model's data folder.
namespace DataSets {

QString dataFolder(const QString &modelFolder, const QString &modelName);

// The tags saved for a model: every file of its data folder, sorted.
QStringList listTags(const QString &folder);

bool write(const QString &path, const QStringList &values, QString *error);
bool read(const QString &path, QStringList &values, QString *error);

// The data set `tag` of the data folder `folder`, which is made when
// missing. An existing data set of the same tag is replaced.
bool save(const QString &folder, const QString &tag, const QStringList &values, QString *error);
// False, with `error` "No data exists with that identifier." when there is
// no such data set, or the reason it could not be read.
bool load(const QString &folder, const QString &tag, QStringList &values, QString *error);

} // namespace DataSets
