#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>

// File operations whose failures the uninstaller must be able to describe.
// Each failure carries the system's description.
namespace Platform {

Status deleteFile(const QString &path);
// Makes a file writable again (the counterpart of clearing read-only).
Status clearAttributes(const QString &path);
Status removeFolder(const QString &path);
// Creates the folder with any missing parents.
Status makeFolder(const QString &path);
Status changeFolder(const QString &path);

// The immediate subfolders of a folder as full paths; symbolic links are
// never followed. False when the folder cannot be read.
bool listSubfolders(const QString &folder, QStringList &subfolders);

// The plain files of a folder (no folders, no hidden files), by name.
QStringList plainFiles(const QString &folder);

bool makeExecutable(const QString &path);

// The longest file name (one path component) the file systems take, in
// the bytes of its on-disk encoding, and that length of a name.
int maxFileNameBytes();
qsizetype fileNameBytes(const QString &name);

// True when the path itself is a symbolic link (dangling ones included).
bool isSymLink(const QString &path);
// True when both paths name one file on disk (through links, other
// spellings or hard links).
bool sameFile(const QString &a, const QString &b);

enum class CopyOutcome { Copied, SameFile };
// Copies a file completely into a new file beside the destination and then
// renames it into place: an existing file, or a link standing at the
// destination, is replaced, never written through, and a copy cut short
// leaves the old destination as it was. When both name the same file
// nothing is done (SameFile), so the caller must not delete the source.
// The copy keeps the source's permission bits.
Result<CopyOutcome> copyFile(const QString &from, const QString &to);
// Our own writes first go to a temporary file beside their target. Every such
// file is named by this one rule, so listings can leave it out and a later
// write to the folder can remove one that a killed process left behind.
bool isOwnTemporaryFile(const QString &fileName);

// Replaces the whole file: the bytes go to a new temporary file in the same
// folder, reach the disk, and are renamed over `path`. A crash leaves the old
// file or the new one, never half of one; a symbolic link standing at `path`
// is replaced by the file, never written through. Stale temporary files of
// dead processes in that folder are removed first (while a DeferredSync
// lives, at the first write to the folder only). `mode` gives the new file's
// permission bits; by default a replaced file keeps its own.
Status writeFileAtomically(const QString &path, const QByteArray &bytes, int mode = -1);

// Waits until the file's bytes are on the disk, whatever DeferredSync says:
// for a file about to take the place of one that matters.
Status syncToDisk(const QString &path);

// Removes the temporary files that killed writers left in a folder.
void removeStaleTemporaryFiles(const QString &folder);

// While one lives, writeFileAtomically leaves waiting for the disk to it:
// a batch of many files reaches the disk in one step at the end instead of
// waiting once per file. Every write stays atomic; only when it is on the
// disk moves to commit().
class DeferredSync {
public:
    DeferredSync();
    ~DeferredSync();
    DeferredSync(const DeferredSync &) = delete;
    DeferredSync &operator=(const DeferredSync &) = delete;

    // Brings every file written since to the disk; fails when the system
    // reports that some of them could not be written.
    Status commit();
};

} // namespace Platform
