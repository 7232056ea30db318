#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>

// Line-oriented text files: every line ends with CR LF when written; a bare
// LF is accepted when reading. Writes go to a temporary file in the same
// folder and are renamed into place, so a crash never leaves half a file.
namespace TextFile {

// Reads every line; a final line without a line end still counts.
Result<QStringList> readLines(const QString &path);

Status writeLines(const QString &path, const QStringList &lines);

// Numbers are written with a sign position and a trailing blank (" 3 ",
// "-3 ") and read back ignoring blanks.
QString numberLine(int value);
// Answers the value when the line holds a whole number within the 16-bit
// range, else why not ("Overflow", "Type mismatch").
Result<qint16> parseNumberLine(const QString &line);

} // namespace TextFile
