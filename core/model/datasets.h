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

} // namespace DataSets
