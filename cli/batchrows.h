#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The data of a batch: a CSV file whose first record names the fields and
// whose every further record is one run.
namespace BatchRows {

struct Rows {
    QStringList header;
    QList<QStringList> records; // data records, blank lines left out
    QList<int> lines;           // the record number in the file of each (header = 1)
    QString error;              // the file could not be read
};

// Read with the CSV engine's reader: RFC 4180 quoting (commas, quotes and
// line breaks inside quoted fields), UTF-8 with or without BOM, UTF-16 with
// BOM, else Windows-1252; comma, semicolon or tab as found in the file.
Rows read(const QString &path);

// The names in braces in a save-name template ("{Last Name}-2024").
QStringList placeholders(const QString &pattern);

// The template with each {Name} replaced by value(Name).
template <typename Lookup>
QString expand(const QString &pattern, Lookup value)
{
    QString out;
    qsizetype at = 0;
    while (at < pattern.size()) {
        const qsizetype open = pattern.indexOf(QLatin1Char('{'), at);
        const qsizetype close = open < 0 ? -1 : pattern.indexOf(QLatin1Char('}'), open + 1);
        if (close < 0) {
            out += pattern.mid(at);
            break;
        }
        out += pattern.mid(at, open - at);
        out += value(pattern.mid(open + 1, close - open - 1));
        at = close + 1;
    }
    return out;
}

} // namespace BatchRows
