#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A list of rows to fill from: a CSV file, or the first sheet of an .xlsx
// or .ods workbook. The first row names the columns; every further row that
// is not blank is one record. What is wrong with the list comes with the
// line (CSV) or sheet row (workbook) it was found in, so a window can show
// it beside the row and the command line can print it.
namespace RowList {

struct Problem {
    int line = 0; // 0: the file as a whole
    QString message;
    bool sheetRow = false; // `line` is a workbook's row
    QString text() const;  // "line N: message", "row N: message"
};

struct List {
    QStringList header;
    QList<QStringList> records;
    QList<int> lines;             // the line or sheet row of each record
    std::optional<Problem> error; // the list cannot be used as it is
    // Records whose cells do not line up with the header: more or fewer
    // fields in a CSV line, a value right of the named columns in a sheet.
    // A reader that takes them anyway drops the extra cells and leaves the
    // missing ones empty.
    QList<Problem> ragged;
};

// CSV: RFC 4180 quoting, UTF-8 (with or without BOM), UTF-16 with BOM, or
// Windows-1252 when no byte reads as UTF-8; comma, semicolon or tab as found.
// Refused: an unterminated quote, a header name that is empty or given
// twice (letter case and surrounding blanks ignored), and a UTF-8 file that
// also holds bytes that are not UTF-8.
List read(const QString &path);

// Whether `path` is read as a workbook rather than as CSV.
bool isWorkbook(const QString &path);

} // namespace RowList
