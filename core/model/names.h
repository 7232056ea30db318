#pragma once

#include <QString>

// What a name typed by the user may hold. A name that becomes a file name
// must stay inside its folder; any name that becomes a line of one of our
// files must stay one line, or every later line of that file shifts.
namespace Names {

enum class Problem { None, Empty, Separator, DotName, ControlCharacter };

// For names that become file names: model names, document names, data-set
// tags, save names.
Problem fileNameProblem(const QString &name);
bool isSafeName(const QString &name);

// For names that only become a line of a file: field names, spreadsheet
// paths, the model folder.
Problem lineProblem(const QString &text);

// Why a name was refused, for the user; "" for Problem::None.
QString refusal(Problem problem);

// The text with every line break (CR LF, CR, LF, Unicode line and paragraph
// separators) replaced by one blank: what a single-line box holds.
QString singleLine(QString text);

} // namespace Names
