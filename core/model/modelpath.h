#pragma once

#include "platform/result.h"

#include <QString>

// The rules of the model-location window, kept apart from the window so
// they can be checked on their own.
namespace ModelPath {

struct Check {
    bool ok = false;
    QString path;      // the path with its separator appended
    QString message;   // what to tell the user when not ok
};

// Appends the missing separator ("\" first, then "/", as the old program
// did) and refuses empty paths, paths without any separator and paths with
// control characters. A relative path is taken from `homeFolder` (which
// ends with "/"), never from the program's current folder, and "~/" means
// the home folder too.
Check normalise(const QString &typed, const QString &homeFolder);

// A stored folder (ending with a separator) made absolute against
// `homeFolder` in the same way.
QString absoluteFolder(const QString &folder, const QString &homeFolder);

// Copies every "sample*.*" file of `fromFolder` into `toFolder`, unless
// `toFolder` already holds one. Fails when the target folder is missing or
// a copy fails.
Status copySampleFiles(const QString &fromFolder, const QString &toFolder);

} // namespace ModelPath
