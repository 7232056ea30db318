#include "app/fill/fillrun.h"
#include "app/fill/odssheet.h"

#include <QXmlStreamReader>

namespace Ods {

namespace {

const QString kRowsRepeated = QStringLiteral("table:number-rows-repeated");
const QString kColumnsRepeated = QStringLiteral("table:number-columns-repeated");

bool isCell(QStringView name)
{
    return name == QLatin1String("table:table-cell") || name == QLatin1String("table:covered-table-cell");
}

int repeatCount(const QXmlStreamAttributes &attributes, const QString &name)
{
    const QStringView value = attributes.value(name);
    const int count = value.isEmpty() ? 1 : value.toInt();
    if (count < 1)
        throw RunError(QStringLiteral("The spreadsheet's content is damaged (a repeat count of ") + value.toString() +
                       QLatin1Char(')'));
    return count;
}

// The text of a paragraph, from just after its start tag to its end.
QString readParagraph(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isStartElement()) {
            const QStringView name = xml.qualifiedName();
            if (name == QLatin1String("text:s")) {
                text += QString(repeatCount(xml.attributes(), QStringLiteral("text:c")), QLatin1Char(' '));
                xml.skipCurrentElement();
            } else if (name == QLatin1String("text:tab")) {
                text += QLatin1Char('\t');
                xml.skipCurrentElement();
            } else if (name == QLatin1String("text:line-break")) {
                text += QLatin1Char('\n');
                xml.skipCurrentElement();
            } else if (name == QLatin1String("office:annotation") || name == QLatin1String("text:note") ||
                       name.startsWith(QLatin1String("draw:"))) {
                xml.skipCurrentElement();
            } else {
                ++depth; // spans, links and the like: their text counts
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return text;
}

} // namespace

void Sheet::readCell(QXmlStreamReader &xml, Native::CellRun &cell)
{
    QStringList paragraphs;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.qualifiedName() == QLatin1String("text:p") || xml.qualifiedName() == QLatin1String("text:h"))
            paragraphs.append(readParagraph(xml));
        else
            xml.skipCurrentElement(); // annotations, frames, detective marks
    }
    cell.text = paragraphs.join(QLatin1Char('\n'));
}

Sheet::Sheet(const QByteArray &contentXml, int position)
{
    m_xml = QString::fromUtf8(contentXml);
    QXmlStreamReader xml(m_xml);
    int table = 0;
    bool found = false;
    qsizetype previous = 0;
    Native::RowRun *row = nullptr;
    int nextColumn = 1;
    QList<Native::CellRun> columnStyles;
    while (!xml.atEnd() && !found) {
        xml.readNext();
        const QStringView name = xml.qualifiedName();
        if (xml.isStartElement() && name == QLatin1String("table:table")) {
            if (++table != position) {
                xml.skipCurrentElement();
                previous = xml.characterOffset();
                continue;
            }
            // The chosen table: its rows and cells, wherever they are grouped.
            while (!xml.atEnd()) {
                xml.readNext();
                qsizetype here = xml.characterOffset();
                const QStringView inner = xml.qualifiedName();
                if (xml.isStartElement() && inner == QLatin1String("table:table-row")) {
                    Native::RowRun run;
                    run.row = m_nextRow;
                    run.count = repeatCount(xml.attributes(), kRowsRepeated);
                    run.start = previous;
                    run.tagEnd = here;
                    m_nextRow += run.count;
                    rows.append(run);
                    row = &rows.last();
                    nextColumn = 1;
                } else if (xml.isStartElement() && row && isCell(inner)) {
                    Native::CellRun cell;
                    cell.column = nextColumn;
                    cell.count = repeatCount(xml.attributes(), kColumnsRepeated);
                    cell.style = xml.attributes().value(QLatin1String("table:style-name")).toString();
                    cell.start = previous;
                    cell.tagEnd = here;
                    readCell(xml, cell);
                    here = xml.characterOffset();
                    cell.end = here;
                    nextColumn += cell.count;
                    row->cells.append(cell);
                } else if (xml.isStartElement() && inner == QLatin1String("table:table-column")) {
                    const int count = repeatCount(xml.attributes(), kColumnsRepeated);
                    const QString style = xml.attributes().value(QLatin1String("table:default-cell-style-name")).toString();
                    columnStyles.append({columnStyles.isEmpty() ? 1 : columnStyles.last().column + columnStyles.last().count,
                                         count, QString(), style});
                } else if (xml.isStartElement() && row) {
                    xml.skipCurrentElement();
                    here = xml.characterOffset();
                } else if (xml.isEndElement() && inner == QLatin1String("table:table-row") && row) {
                    row->end = here;
                    row->contentEnd = previous;
                    m_rowsEnd = here;
                    row = nullptr;
                } else if (xml.isEndElement() && inner == QLatin1String("table:table")) {
                    if (m_rowsEnd < 0)
                        m_rowsEnd = previous;
                    found = true;
                    break;
                }
                previous = here;
            }
        }
        previous = xml.characterOffset();
    }
    if (xml.hasError())
        throw RunError(QStringLiteral("The spreadsheet's content is damaged (") + xml.errorString() + QLatin1Char(')'));
    if (!found)
        throw RunError(Sheets::noSuchWorksheet(position));
    // A cell without a style of its own shows its column's default style.
    if (columnStyles.isEmpty())
        return;
    Native::RowRun columns;
    columns.cells = columnStyles;
    for (Native::RowRun &run : rows)
        for (Native::CellRun &cell : run.cells)
            if (cell.style.isEmpty())
                if (const Native::CellRun *column = cellAt(columns, cell.column))
                    cell.style = column->style;
}

} // namespace Ods
