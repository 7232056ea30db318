#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Line-oriented text files: every line ends with CR LF when written; a bare
// LF is accepted when reading. Writes go to a temporary file in the same
// folder and are renamed into place, so a crash never leaves half a file.
namespace TextFile {

// Reads every line; a final line without a line end still counts. Answers
// false and sets `error` to a description when the file cannot be read.
bool readLines(const QString &path, QStringList &lines, QString *error = nullptr);

bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// Numbers are written with a sign position and a trailing blank (" 3 ",
// "-3 ") and read back ignoring blanks.
QString numberLine(int value);
// Answers the value when the line holds a whole number within the 16-bit
// range; `error` says why not otherwise.
std::optional<qint16> parseNumberLine(const QString &line, QString *error = nullptr);

} // namespace TextFile
