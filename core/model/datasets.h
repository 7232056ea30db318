#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>

// Saved data sets: the values typed for a model, one line per field, in a
// file named by the identifier tag inside the model's data folder.
namespace DataSets {

QString dataFolder(const QString &modelFolder, const QString &modelName);

// The tags saved for a model: every file of its data folder, sorted.
QStringList listTags(const QString &folder);

Status write(const QString &path, const QStringList &values);
Result<QStringList> read(const QString &path);

// The data set `tag` of the data folder `folder`, which is made when
// missing. An existing data set of the same tag is replaced.
Status save(const QString &folder, const QString &tag, const QStringList &values);
// Fails with "No data exists with that identifier." when there is no such
// data set, or with the reason it could not be read.
Result<QStringList> load(const QString &folder, const QString &tag);

} // namespace DataSets
