#pragma once

#include "core/fill/runcontext.h"
#include "core/fill/spreadsheet.h"

#include <QStringList>

#include <functional>

// Filling the marker row (or column) of a spreadsheet: the values go into
// the markers' line, and the markers move one line on for the next record.
namespace SheetFill {

enum class LayoutKind { NotAnalysable, RowLayout, ColumnLayout };
using enum LayoutKind;

struct Layout {
    LayoutKind kind = NotAnalysable;
    int line = 0; // the marker row or column
};

constexpr int kScanLimit = 32000;
constexpr int kFillLimit = 100;

Result<Layout> DetectSheetLayout(Sheets::Worksheet &sheet);

// `value(j)` is the text typed for field j (1-based).
Status fillRow(Sheets::Worksheet &sheet, int row, const QStringList &fieldNames,
               const std::function<QString(int)> &value);
Status fillColumn(Sheets::Worksheet &sheet, int column, const QStringList &fieldNames,
                  const std::function<QString(int)> &value);

struct Request {
    QString path;
    qint16 sheetNumber = 1;
};

using Message = std::function<void(const QString &text, const QString &title)>;

// The files of one fill of the workbook at `path`: the filled copy, saved
// beside it under a name of this process's own, and the backup of the
// previous version in the app folder.
struct Files {
    QString temp;
    QString backup;
};
Files filesFor(const QString &path, const QString &appFolder);

// Refuses, before anything is opened or written, a workbook that a fill
// could not put back: open in an office, or read-only.
Status checkCanReplace(const QString &path);

// With the workbook's lock held: removes the filled copies that earlier
// fills, stopped before their end, left beside the workbook.
Status removeLeftoverCopies(const QString &path, RunContext &run);

// The previous version into the backup (unless it does not read back
// whole: a damaged file never replaces a sound backup), then the filled
// copy into the workbook's place.
Status swapIn(const QString &path, const Files &files, RunContext &run);

// Fills one spreadsheet in place: the filled workbook is saved as a
// temporary copy beside it and moved into its place, and the previous
// version is kept as the backup in the app folder. Failures are reported
// through `message` (the run's "Problem" message) and never leave the file
// at `path` missing or half written; a workbook that is open in an office
// or read-only is refused before any file is touched. True when the record
// was added and the workbook replaced.
bool ProcessSpreadsheet(const Request &request, const QString &appFolder, const QStringList &fieldNames,
                        RunContext &run, Sheets::Engines &engines, const Message &message);

} // namespace SheetFill
