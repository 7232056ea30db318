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

// Our own writes first go to a temporary file beside their target. Every such
// file is named by this one rule, so listings can leave it out and a later
// write to the folder can remove one that a killed process left behind.
bool isOwnTemporaryFile(const QString &fileName);

// Replaces the whole file: the bytes go to a new temporary file in the same
// folder, reach the disk, and are renamed over `path`. A crash leaves the old
// file or the new one, never half of one; a symbolic link standing at `path`
// is replaced by the file, never written through. Stale temporary files of
// dead processes in that folder are removed first.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Removes the temporary files that killed writers left in a folder.
void removeStaleTemporaryFiles(const QString &folder);

} // namespace Platform
