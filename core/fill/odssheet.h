#pragma once

#include "core/fill/sheetgrid.h"

#include <QByteArray>

#include <memory>

// One table of an OpenDocument spreadsheet's content.xml. Runs of equal rows
// and cells that the file compresses with a repeat count are split only
// where a cell is written.
namespace Ods {

// A cell's text as written into a table cell's paragraphs.
QString paragraphsXml(const QString &text);

class Sheet : public Native::Grid {
public:
    // `position` counts the tables from 1, in document order. Read at
    // once, or why the table is missing or damaged; the texts of cells are
    // decoded only when asked for, and may fail then.
    static Result<std::unique_ptr<Sheet>> read(const QByteArray &contentXml, int position);
    Result<QByteArray> rewritten() const override;
    QString textOf(const Native::CellRun &cell) const override;

private:
    Sheet() = default;
    Status parse(const QByteArray &contentXml, int position);
    QString rowXml(const Native::RowRun &run, int row, const QMap<int, QString> *cells, int count) const;
    QString cellsXml(const Native::RowRun &run, int row, const QMap<int, QString> &cells) const;
    QString cellXml(const Native::CellRun *cell, int row, int column, const QString &text) const;
    QString rowsPastTheEnd() const;

    QString m_xml;
    qsizetype m_rowsEnd = -1; // where rows after the last one go
    int m_nextRow = 1;        // the first row past the table's rows
};

} // namespace Ods
