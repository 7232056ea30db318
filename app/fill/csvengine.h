#pragma once

#include "app/fill/spreadsheet.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Our own engine for comma-separated files: one worksheet, RFC 4180
// quoting. The file's delimiter, its quoting and its line ends are kept
// when it is saved.
namespace Csv {

struct Cell {
    QString text;
    bool quoted = false;
};

struct Table {
    QList<QList<Cell>> rows;
    char delimiter = ',';
    QByteArray lineEnd = "\r\n";
    bool finalLineEnd = true;
    bool quoteAll = false; // every field of the file was quoted
    bool bom = false;
};

Table parse(const QByteArray &bytes);
QByteArray write(const Table &table);

// Picks the delimiter from the first record: the most frequent of comma,
// semicolon and tab outside quotes; comma when there is none.
char detectDelimiter(const QByteArray &bytes);

class Workbook : public Sheets::Workbook, public Sheets::Worksheet {
public:
    explicit Workbook(const QString &path);
    Sheets::Worksheet &worksheet(int position) override;
    void saveAs(const QString &path) override;
    void close() override {}
    QString cellText(int row, int column) override;
    void setCellText(int row, int column, const QString &text) override;

private:
    Table m_table;
};

class Application : public Sheets::Application {
public:
    std::unique_ptr<Sheets::Workbook> open(const QString &path) override
    {
        return std::make_unique<Workbook>(path);
    }
};

} // namespace Csv
