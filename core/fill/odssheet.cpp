#include "core/fill/odssheet.h"

#include "core/fill/tagscan.h"

namespace Ods {

namespace {

const QLatin1StringView kRowsRepeated("table:number-rows-repeated");
const QLatin1StringView kColumnsRepeated("table:number-columns-repeated");

bool isCell(QStringView name)
{
    return name == QLatin1String("table:table-cell") || name == QLatin1String("table:covered-table-cell");
}

Result<int> repeatCount(const Native::Tag &tag, QLatin1StringView name)
{
    const QStringView value = tag.rawAttribute(name);
    const int count = value.isEmpty() ? 1 : value.toInt();
    if (count < 1)
        return Failure{QStringLiteral("The spreadsheet's content is damaged (a repeat count of ") + value.toString() +
                       QLatin1Char(')')};
    return count;
}

// The text of a paragraph, from just after its start tag to its end.
Result<QString> readParagraph(Native::TagScanner &xml, const Native::Tag &paragraph)
{
    QString text = xml.textFrom(paragraph.end);
    int depth = 1;
    Native::Tag tag;
    while (depth > 0 && xml.next(tag)) {
        const QStringView name = tag.name;
        if (tag.closing) {
            --depth;
        } else if (name == QLatin1String("text:s")) {
            const Result<int> blanks = repeatCount(tag, QLatin1StringView("text:c"));
            if (!blanks)
                return blanks.failure();
            text += QString(*blanks, QLatin1Char(' '));
            xml.skipElement(tag);
        } else if (name == QLatin1String("text:tab")) {
            text += QLatin1Char('\t');
            xml.skipElement(tag);
        } else if (name == QLatin1String("text:line-break")) {
            text += QLatin1Char('\n');
            xml.skipElement(tag);
        } else if (name == QLatin1String("office:annotation") || name == QLatin1String("text:note") ||
                   name.startsWith(QLatin1String("draw:"))) {
            xml.skipElement(tag);
        } else if (!tag.empty) {
            ++depth; // spans, links and the like: their text counts
        }
        // The characters after this tag, up to the next one.
        if (depth > 0)
            text += xml.textFrom(xml.position());
    }
    return text;
}

} // namespace

QString Sheet::textOf(const Native::CellRun &cell) const
{
    if (cell.valueStart < 0)
        return QString();
    const QStringView content = QStringView(m_xml).mid(cell.valueStart, cell.valueEnd - cell.valueStart);
    // Nearly every cell is one plain paragraph: read without a scanner, as
    // the layout scan reads thousands of them.
    const QLatin1StringView open("<text:p>"), close("</text:p>");
    if (content.startsWith(open) && content.endsWith(close) && content.size() >= open.size() + close.size()) {
        const QStringView inner = content.sliced(open.size(), content.size() - open.size() - close.size());
        if (!inner.contains(QLatin1Char('<')))
            return Native::unescapeXml(inner);
    }
    Native::TagScanner xml(content);
    QStringList paragraphs;
    Native::Tag tag;
    while (xml.next(tag)) {
        if (tag.closing)
            continue;
        if (tag.name == QLatin1String("text:p") || tag.name == QLatin1String("text:h")) {
            Result<QString> paragraph = tag.empty ? Result<QString>(QString()) : readParagraph(xml, tag);
            if (!paragraph) {
                markDamaged(paragraph.error());
                return QString();
            }
            paragraphs.append(std::move(paragraph).value());
        } else {
            xml.skipElement(tag); // annotations, frames, detective marks
        }
    }
    return paragraphs.join(QLatin1Char('\n'));
}

Result<std::unique_ptr<Sheet>> Sheet::read(const QByteArray &contentXml, int position)
{
    std::unique_ptr<Sheet> sheet(new Sheet);
    if (Status parsed = sheet->parse(contentXml, position); !parsed)
        return parsed.failure();
    return sheet;
}

Status Sheet::parse(const QByteArray &contentXml, int position)
{
    m_xml = QString::fromUtf8(contentXml);
    Native::TagScanner xml(m_xml);
    Native::Tag tag;
    int table = 0;
    bool found = false;
    Native::RowRun *row = nullptr;
    int nextColumn = 1;
    QList<Native::CellRun> columnStyles;
    while (!found && xml.next(tag)) {
        if (tag.closing || tag.name != QLatin1String("table:table"))
            continue;
        if (++table != position) {
            xml.skipElement(tag);
            continue;
        }
        // The chosen table: its rows and cells, wherever they are grouped.
        while (xml.next(tag)) {
            const QStringView inner = tag.name;
            if (!tag.closing && inner == QLatin1String("table:table-row")) {
                Native::RowRun run;
                run.row = m_nextRow;
                const Result<int> count = repeatCount(tag, kRowsRepeated);
                if (!count)
                    return count.failure();
                run.count = *count;
                run.start = tag.start;
                run.tagEnd = tag.end;
                m_nextRow += run.count;
                rows.append(run);
                row = &rows.last();
                nextColumn = 1;
                if (tag.empty) {
                    row->end = row->contentEnd = m_rowsEnd = tag.end;
                    row = nullptr;
                }
            } else if (!tag.closing && row && isCell(inner)) {
                Native::CellRun cell;
                cell.column = nextColumn;
                const Result<int> count = repeatCount(tag, kColumnsRepeated);
                if (!count)
                    return count.failure();
                cell.count = *count;
                // Style names stay in the content's text unless they hold entities.
                const QStringView style = tag.rawAttribute(QLatin1StringView("table:style-name"));
                cell.style = style.contains(QLatin1Char('&')) ? Native::unescapeXml(style)
                                                              : QString::fromRawData(style.data(), style.size());
                cell.start = tag.start;
                cell.tagEnd = tag.end;
                cell.formula = !tag.rawAttribute(QLatin1StringView("table:formula")).isEmpty();
                // Its text is read only when asked for.
                xml.skipElement(tag);
                cell.end = xml.position();
                if (!tag.empty) {
                    cell.valueStart = tag.end;
                    cell.valueEnd = m_xml.lastIndexOf(QLatin1Char('<'), cell.end - 1);
                }
                nextColumn += cell.count;
                row->cells.append(cell);
            } else if (!tag.closing && inner == QLatin1String("table:table-column")) {
                const Result<int> repeated = repeatCount(tag, kColumnsRepeated);
                if (!repeated)
                    return repeated.failure();
                const int count = *repeated;
                const QString style = tag.attribute(QLatin1StringView("table:default-cell-style-name"));
                columnStyles.append({columnStyles.isEmpty() ? 1 : columnStyles.last().column + columnStyles.last().count,
                                     count, QString(), style});
            } else if (!tag.closing && row) {
                xml.skipElement(tag);
            } else if (tag.closing && inner == QLatin1String("table:table-row") && row) {
                row->end = tag.end;
                row->contentEnd = tag.start;
                m_rowsEnd = tag.end;
                row = nullptr;
            } else if (tag.closing && inner == QLatin1String("table:table")) {
                // A row left open has no end to splice a rewritten row up to.
                if (row)
                    return Failure{QStringLiteral("The spreadsheet's content is damaged")};
                if (m_rowsEnd < 0)
                    m_rowsEnd = tag.start;
                found = true;
                break;
            }
        }
    }
    if (xml.failed())
        return Failure{QStringLiteral("The spreadsheet's content is damaged")};
    if (!found)
        return Failure{Sheets::noSuchWorksheet(position)};
    // A cell without a style of its own shows its column's default style.
    if (columnStyles.isEmpty())
        return {};
    Native::RowRun columns;
    columns.cells = columnStyles;
    for (Native::RowRun &run : rows)
        for (Native::CellRun &cell : run.cells)
            if (cell.style.isEmpty())
                if (const Native::CellRun *column = cellAt(columns, cell.column))
                    cell.style = column->style;
    return {};
}

} // namespace Ods
