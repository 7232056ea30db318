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
