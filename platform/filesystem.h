#pragma once

#include <QString>
#include <QStringList>

// File operations whose failures the uninstaller must be able to describe.
// Each answers false and sets `error` to the system's description.
namespace Platform {

bool deleteFile(const QString &path, QString *error = nullptr);
// Makes a file writable again (the counterpart of clearing read-only).
bool clearAttributes(const QString &path, QString *error = nullptr);
bool removeFolder(const QString &path, QString *error = nullptr);
// Creates the folder with any missing parents.
bool makeFolder(const QString &path, QString *error = nullptr);
bool changeFolder(const QString &path, QString *error = nullptr);

// The immediate subfolders of a folder as full paths; symbolic links are
// never followed. False when the folder cannot be read.
bool listSubfolders(const QString &folder, QStringList &subfolders);

// The plain files of a folder (no folders, no hidden files), by name.
QStringList plainFiles(const QString &folder);

bool makeExecutable(const QString &path);

} // namespace Platform
