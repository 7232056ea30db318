#pragma once

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
// did) and refuses empty paths and paths without any separator.
Check normalise(const QString &typed);

// Copies every "sample*.*" file of `fromFolder` into `toFolder`, unless
// `toFolder` already holds one. Answers false with `error` set when the
// target folder is missing or a copy fails.
bool copySampleFiles(const QString &fromFolder, const QString &toFolder, QString *error);

} // namespace ModelPath
