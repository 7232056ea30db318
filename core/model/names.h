#pragma once

#include <QString>

// What a name typed by the user may hold. A name that becomes a file name
// must stay inside its folder; any name that becomes a line of one of our
// files must stay one line, or every later line of that file shifts.
namespace Names {

enum class Problem { None, Empty, Separator, DotName, ControlCharacter, DirectionControl, InvisibleCharacter };

// For names that become file names: model names, document names, data-set
// tags, save names. Such a name must also look like what it is: direction
// controls (a right-to-left override shows "Invoice\u202Efdp.exe" as
// "Invoiceexe.pdf") and zero-width characters are refused.
Problem fileNameProblem(const QString &name);
bool isSafeName(const QString &name);

// For names that only become a line of a file: field names, spreadsheet
// paths, the model folder.
Problem lineProblem(const QString &text);

// Why a name was refused, for the user; "" for Problem::None.
QString refusal(Problem problem);

// Why the copy of document `docName` saved under `saveName`
// ("SAVE-DOC.ext") cannot be made, or "" when it can: its file name would
// be longer than the file system takes, with room for the extension and
// the temporary file it is first written to.
QString copyNameRefusal(const QString &saveName, const QString &docName);

// The text with every line break (CR LF, CR, LF, Unicode line and paragraph
// separators) replaced by one blank: what a single-line box holds.
QString singleLine(QString text);

} // namespace Names
