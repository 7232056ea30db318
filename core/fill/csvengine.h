#pragma once

#include "core/fill/spreadsheet.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Our own engine for comma-separated files: one worksheet, RFC 4180
// quoting. A record that was not written to keeps its bytes exactly, and
// the file keeps its encoding, delimiter and line ends.
namespace Csv {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };

struct Cell {
    QString text;
    QString raw;         // the field as the file holds it, quotes included
    bool quoted = false; // the file quoted it
    bool edited = true;  // written since the file was read: `raw` no longer applies
};

struct Table {
    QList<QList<Cell>> rows;
    QStringList ends;     // each record's own line end; empty for a last line without one
    QChar delimiter = QLatin1Char(',');
    QString lineEnd = QStringLiteral("\r\n"); // for records the fill adds
    bool quoteAll = false; // every field of the file was quoted
    Encoding encoding = Encoding::Utf8;
    bool bom = false;
    bool unterminatedQuote = false; // the last record opens a quote that never closes
};

Table parse(const QByteArray &bytes);
// Fails when a written value cannot be held by the file's encoding (the
// workbook refuses such values before this).
Result<QByteArray> write(const Table &table);

// Sets a cell, adding records and fields as needed. Fails for a value that
// the file's encoding cannot hold, leaving the table as it was.
Status setCell(Table &table, int row, int column, const QString &text);

// Picks the delimiter over the first records, honouring quotes: of comma,
// semicolon and tab, the one found in most records, then the one that
// splits them most evenly; comma when there is none.
QChar detectDelimiter(const QString &text);

class Workbook : public Sheets::Workbook, public Sheets::Worksheet {
public:
    explicit Workbook(Table table) : m_table(std::move(table)) {}
    // The file at `path`, read whole.
    static Result<std::unique_ptr<Workbook>> read(const QString &path);
    Result<Sheets::Worksheet *> worksheet(int position) override;
    Status saveAs(const QString &path) override;
    Status close() override { return {}; }
    Result<QString> cellText(int row, int column) override;
    Status setCellText(int row, int column, const QString &text) override;

private:
    Table m_table;
};

class Application : public Sheets::Application {
public:
    Result<std::unique_ptr<Sheets::Workbook>> open(const QString &path) override
    {
        Result<std::unique_ptr<Workbook>> book = Workbook::read(path);
        if (!book)
            return book.failure();
        return std::unique_ptr<Sheets::Workbook>(std::move(book).value());
    }
};

} // namespace Csv
