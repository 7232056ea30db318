#pragma once

#include "core/model/modelfile.h"

#include <QString>
#include <QStringList>

#include <optional>

// The list operations of the model editor, on the model's lists alone. In
// spreadsheet mode a path and its sheet number always move together.
namespace ModelEdit {

enum class Mode { Fields = 1, Documents = 2, Spreadsheets = 3 };
using enum Mode;

QStringList items(const ModelLists &model, Mode mode);

// Position (0-based) of the first entry equal to `text` without regard to
// case, or -1.
qsizetype indexOfNoCase(const QStringList &list, const QString &text);

// Swap the entry at list position p with the one above (below). Answer
// false, changing nothing, at the top (bottom) or outside the list.
bool moveUp(ModelLists &model, Mode mode, qsizetype p);
bool moveDown(ModelLists &model, Mode mode, qsizetype p);
bool removeAt(ModelLists &model, Mode mode, qsizetype p);

// The leading number of a text, as the old Val() read it: blanks skipped,
// an optional sign, digits; 0 when there is none.
qint64 leadingNumber(const QString &text);

// A sheet number typed by the user; none when it is outside 1 to 32767.
std::optional<qint16> sheetNumber(const QString &text);

// The folder part (with its separator) and the file name of a full path;
// false when the path has no separator at all.
bool splitPath(const QString &path, QString &folder, QString &fileName);

} // namespace ModelEdit
