#include "core/fill/odssheet.h"

namespace Ods {

namespace {

const QString kRowsRepeated = QStringLiteral("table:number-rows-repeated");
const QString kColumnsRepeated = QStringLiteral("table:number-columns-repeated");
const QString kRowEnd = QStringLiteral("</table:table-row>");

QString repeated(int count)
{
    return count > 1 ? QString::number(count) : QString();
}

// An empty cell, or `count` of them.
QString emptyCells(int count)
{
    return Native::withAttribute(QStringLiteral("<table:table-cell/>"), kColumnsRepeated, repeated(count));
}

// Runs of blanks that a paragraph would otherwise collapse go in as <text:s/>.
QString paragraphXml(const QString &text)
{
    QString out = QStringLiteral("<text:p>");
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('\t')) {
            out += QStringLiteral("<text:tab/>");
            ++i;
            continue;
        }
        if (text.at(i) != QLatin1Char(' ')) {
            const qsizetype from = i;
            while (i < text.size() && text.at(i) != QLatin1Char(' ') && text.at(i) != QLatin1Char('\t'))
                ++i;
            out += Native::escapeXml(text.mid(from, i - from));
            continue;
        }
        const qsizetype from = i;
        while (i < text.size() && text.at(i) == QLatin1Char(' '))
            ++i;
        const qsizetype blanks = i - from;
        if (blanks == 1 && from > 0 && i < text.size())
            out += QLatin1Char(' ');
        else
            out += blanks == 1 ? QStringLiteral("<text:s/>")
                               : QStringLiteral("<text:s text:c=\"") + QString::number(blanks) + QStringLiteral("\"/>");
    }
    return out + QStringLiteral("</text:p>");
}

} // namespace

QString paragraphsXml(const QString &text)
{
    QString out;
    for (const QString &paragraph : text.split(QLatin1Char('\n')))
        out += paragraphXml(paragraph);
    return out;
}

QString Sheet::cellXml(const Native::CellRun *cell, int row, int column, const QString &text) const
{
    // The cell keeps its style, merge and validity; what made it a number,
    // a date or a formula goes, as its value is now text.
    QString tag = cell ? m_xml.mid(cell->start, cell->tagEnd - cell->start) : QStringLiteral("<table:table-cell/>");
    for (const char *name : {"table:number-columns-repeated", "office:value-type", "calcext:value-type",
                             "office:value", "office:date-value", "office:time-value", "office:boolean-value",
                             "office:string-value", "office:currency", "table:formula"})
        tag = Native::withAttribute(tag, QLatin1String(name), QString());
    const QString style = styleFor(row, column, text);
    if (!style.isEmpty())
        tag = Native::withAttribute(tag, QStringLiteral("table:style-name"), style);
    const bool selfClosing = tag.endsWith(QLatin1String("/>"));
    if (!selfClosing)
        tag.chop(1);
    else
        tag.chop(2);
    const qsizetype space = tag.indexOf(QLatin1Char(' '));
    const QString element = tag.mid(1, (space < 0 ? tag.size() : space) - 1);
    if (text.isEmpty())
        return tag + QStringLiteral("/>");
    return tag + QStringLiteral(" office:value-type=\"string\">") + paragraphsXml(text) + QStringLiteral("</") +
           element + QLatin1Char('>');
}

// The cells of a row with some of them written: untouched runs of cells
// are copied, split around the written ones.
QString Sheet::cellsXml(const Native::RowRun &run, int row, const QMap<int, QString> &cells) const
{
    QString out;
    int column = 1; // the first column not yet given out
    auto edit = cells.constBegin();
    for (const Native::CellRun &cell : run.cells) {
        const QString startTag = m_xml.mid(cell.start, cell.tagEnd - cell.start);
        const QString rest = m_xml.mid(cell.tagEnd, cell.end - cell.tagEnd);
        const int last = cell.column + cell.count - 1;
        while (column <= last) {
            if (edit != cells.constEnd() && edit.key() <= last) {
                const int stretch = edit.key() - column;
                if (stretch > 0)
                    out += Native::withAttribute(startTag, kColumnsRepeated, repeated(stretch)) + rest;
                out += cellXml(&cell, row, edit.key(), edit.value());
                column = edit.key() + 1;
                ++edit;
            } else {
                out += Native::withAttribute(startTag, kColumnsRepeated, repeated(last - column + 1)) + rest;
                column = last + 1;
            }
        }
    }
    for (; edit != cells.constEnd(); ++edit) {
        if (edit.key() > column)
            out += emptyCells(edit.key() - column);
        out += cellXml(nullptr, row, edit.key(), edit.value());
        column = edit.key() + 1;
    }
    return out;
}

// `count` copies of the row run starting at `row`, one element; with its
// cells written when `cells` is given (then count is 1).
QString Sheet::rowXml(const Native::RowRun &run, int row, const QMap<int, QString> *cells, int count) const
{
    QString tag = Native::withAttribute(m_xml.mid(run.start, run.tagEnd - run.start), kRowsRepeated, repeated(count));
    if (!cells)
        return tag + m_xml.mid(run.tagEnd, run.end - run.tagEnd);
    const bool selfClosing = run.contentEnd == run.end;
    if (selfClosing)
        tag = tag.chopped(2) + QLatin1Char('>');
    return tag + cellsXml(run, row, *cells) + (selfClosing ? kRowEnd : m_xml.mid(run.contentEnd, run.end - run.contentEnd));
}

QString Sheet::rowsPastTheEnd() const
{
    QString out;
    int row = m_nextRow;
    const Native::RowRun *last = rows.isEmpty() ? nullptr : &rows.last();
    for (auto it = edits().lowerBound(m_nextRow); it != edits().constEnd(); ++it) {
        if (it.key() > row)
            out += Native::withAttribute(QStringLiteral("<table:table-row>"), kRowsRepeated, repeated(it.key() - row)) +
                   emptyCells(1) + kRowEnd;
        // A new row looks like the last row of the table.
        QString tag = last ? Native::withAttribute(m_xml.mid(last->start, last->tagEnd - last->start), kRowsRepeated,
                                                   QString())
                           : QStringLiteral("<table:table-row>");
        if (tag.endsWith(QLatin1String("/>")))
            tag = tag.chopped(2) + QLatin1Char('>');
        const Native::RowRun empty;
        out += tag + cellsXml(empty, it.key(), it.value()) + kRowEnd;
        row = it.key() + 1;
    }
    return out;
}

Result<QByteArray> Sheet::rewritten() const
{
    if (Status read = damage(); !read)
        return read.failure();
    QList<Native::Splice> splices;
    for (const Native::RowRun &run : rows) {
        const int first = run.row, last = run.row + run.count - 1;
        auto edit = edits().lowerBound(first);
        if (edit == edits().constEnd() || edit.key() > last)
            continue;
        QString out;
        int row = first;
        for (; edit != edits().constEnd() && edit.key() <= last; ++edit) {
            if (edit.key() > row)
                out += rowXml(run, row, nullptr, edit.key() - row);
            out += rowXml(run, edit.key(), &edit.value(), 1);
            row = edit.key() + 1;
        }
        if (row <= last)
            out += rowXml(run, row, nullptr, last - row + 1);
        splices.append({run.start, run.end, out});
    }
    const QString past = rowsPastTheEnd();
    if (!past.isEmpty())
        splices.append({m_rowsEnd, m_rowsEnd, past});
    const Result<QString> xml = Native::applySplices(m_xml, splices);
    // Cells read only now for their style may turn out damaged.
    if (Status read = damage(); !read)
        return read.failure();
    if (!xml)
        return xml.failure();
    return xml->toUtf8();
}

} // namespace Ods
