#include "core/fill/xlsxsheet.h"

#include "core/fill/tagscan.h"

#include <QHash>

#include <algorithm>

namespace Xlsx {

namespace {

// Row and column of "B3"; 0 for what is not a reference.
std::pair<int, int> parseReference(QStringView ref)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        column = column * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
    return {Native::toNumber(ref.mid(i)), column};
}

const QByteArray kBom("\xEF\xBB\xBF");

} // namespace

Result<std::unique_ptr<Sheet>> Sheet::read(const QByteArray &xml, const SharedStrings &sharedStrings)
{
    std::unique_ptr<Sheet> sheet(new Sheet(sharedStrings));
    if (Status parsed = sheet->parse(xml); !parsed)
        return parsed.failure();
    return sheet;
}

Status Sheet::parse(const QByteArray &bytes)
{
    m_bom = bytes.startsWith(kBom) ? kBom : QByteArray();
    m_xml = QString::fromUtf8(bytes.mid(m_bom.size()));
    Native::TagScanner xml(m_xml);
    Native::Tag tag;
    Native::RowRun *row = nullptr;
    Native::CellRun cell;
    QStringView type;
    bool inCell = false;
    bool formula = false;
    QString formulaText;
    qsizetype valueStart = -1, valueEnd = -1;
    QHash<QStringView, QString> sharedFormulas; // by their index "si"
    int lastRow = 0, lastColumn = 0;
    while (xml.next(tag)) {
        const QStringView name = tag.localName();
        if (!tag.closing) {
            if (name == QLatin1String("dimension")) {
                m_dimensionStart = tag.start;
                m_dimensionEnd = tag.end;
            } else if (name == QLatin1String("sheetData")) {
                m_prefix = tag.prefix().toString();
                m_dataStart = tag.start;
                m_dataTagEnd = tag.end;
                if (tag.empty)
                    m_dataContentEnd = m_dataEnd = tag.end;
            } else if (name == QLatin1String("row") && m_dataStart >= 0) {
                Native::RowRun run;
                const QStringView r = tag.rawAttribute(QLatin1StringView("r"));
                run.row = r.isEmpty() ? lastRow + 1 : r.toInt();
                if (run.row <= lastRow)
                    return Failure{QStringLiteral("The worksheet's rows are out of order")};
                lastRow = run.row;
                lastColumn = 0;
                run.start = tag.start;
                run.tagEnd = tag.end;
                rows.append(run);
                row = &rows.last();
                if (tag.empty) {
                    row->end = row->contentEnd = tag.end;
                    row = nullptr;
                }
            } else if (name == QLatin1String("c") && row) {
                cell = {};
                const QStringView r = tag.rawAttribute(QLatin1StringView("r"));
                cell.column = r.isEmpty() ? lastColumn + 1 : parseReference(r).second;
                if (cell.column <= lastColumn)
                    return Failure{QStringLiteral("The worksheet's cells are out of order")};
                lastColumn = cell.column;
                // Style numbers hold no entities; they stay in the sheet's text.
                const QStringView style = tag.rawAttribute(QLatin1StringView("s"));
                cell.style = QString::fromRawData(style.data(), style.size());
                cell.start = tag.start;
                cell.tagEnd = tag.end;
                type = tag.rawAttribute(QLatin1StringView("t"));
                cell.kind = type == QLatin1String("s")           ? 's'
                            : type == QLatin1String("inlineStr") ? 'i'
                            : type == QLatin1String("b")         ? 'b'
                                                                 : 'n';
                formula = false;
                valueStart = -1;
                inCell = !tag.empty;
                if (tag.empty) {
                    cell.end = tag.end;
                    row->cells.append(cell);
                }
            } else if (inCell && name == QLatin1String("v")) {
                valueStart = tag.start;
                xml.skipElement(tag);
                valueEnd = xml.position();
                if (cell.kind != 'i' && !tag.empty) {
                    cell.valueStart = tag.end;
                    cell.valueEnd = m_xml.lastIndexOf(QLatin1Char('<'), valueEnd - 1);
                }
            } else if (inCell && name == QLatin1String("is")) {
                xml.skipElement(tag);
                if (cell.kind == 'i' && !tag.empty) {
                    cell.valueStart = tag.end;
                    cell.valueEnd = m_xml.lastIndexOf(QLatin1Char('<'), xml.position() - 1);
                }
            } else if (inCell && name == QLatin1String("f")) {
                // A shared formula's text is on its first cell only.
                const QStringView shared = tag.rawAttribute(QLatin1StringView("t")) == QLatin1String("shared")
                                               ? tag.rawAttribute(QLatin1StringView("si"))
                                               : QStringView();
                xml.skipElement(tag);
                formula = true;
                formulaText = tag.empty ? QString()
                                        : Native::unescapeXml(QStringView(m_xml).mid(
                                              tag.end, m_xml.lastIndexOf(QLatin1Char('<'), xml.position() - 1) - tag.end));
                if (!shared.isEmpty() && formulaText.isEmpty())
                    formulaText = sharedFormulas.value(shared);
                else if (!shared.isEmpty())
                    sharedFormulas.insert(shared, formulaText);
            } else if (inCell && name == QLatin1String("rPh")) {
                xml.skipElement(tag);
            }
        } else if (name == QLatin1String("c") && inCell) {
            inCell = false;
            cell.end = tag.end;
            cell.formula = formula;
            row->cells.append(cell);
            if (formula && valueStart >= 0)
                m_results.append({row->row, cell.column, valueStart, valueEnd, formulaText});
        } else if (name == QLatin1String("row") && row) {
            // A row that ends inside one of its cells leaves the cell no row.
            if (inCell)
                return Failure{QStringLiteral("The worksheet is damaged")};
            row->end = tag.end;
            row->contentEnd = tag.start;
            row = nullptr;
        } else if (name == QLatin1String("sheetData")) {
            m_dataContentEnd = tag.start;
            m_dataEnd = tag.end;
        }
    }
    if (xml.failed() || m_dataEnd < 0)
        return Failure{QStringLiteral("The worksheet is damaged")};
    return {};
}

QString Sheet::textOf(const Native::CellRun &cell) const
{
    if (cell.valueStart < 0)
        return QString();
    const QStringView value = QStringView(m_xml).mid(cell.valueStart, cell.valueEnd - cell.valueStart);
    switch (cell.kind) {
    case 's':
        return m_strings.at(Native::toNumber(value));
    case 'i':
        return runText(value);
    case 'b':
        return value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return Native::unescapeXml(value);
    }
}

QString Sheet::cellXml(int row, int column, const QString &style, const QString &text) const
{
    QString xml = QLatin1Char('<') + m_prefix + QStringLiteral("c r=\"") + cellReference(row, column) + QLatin1Char('"');
    if (!style.isEmpty())
        xml += QStringLiteral(" s=\"") + style + QLatin1Char('"');
    if (text.isEmpty())
        return xml + QStringLiteral("/>");
    const QString p = m_prefix;
    return xml + QStringLiteral(" t=\"inlineStr\"><") + p + QStringLiteral("is><") + p +
           QStringLiteral("t xml:space=\"preserve\">") + Native::escapeXml(encodeEscapes(text)) + QStringLiteral("</") +
           p + QStringLiteral("t></") + p + QStringLiteral("is></") + p + QStringLiteral("c>");
}

QString Sheet::newRowXml(int row, const QMap<int, QString> &cells) const
{
    QString tag = QLatin1Char('<') + m_prefix + QStringLiteral("row r=\"") + QString::number(row) + QStringLiteral("\">");
    // A new line of the record list looks like the line it follows.
    if (const Native::RowRun *before = rowAt(row - 1)) {
        const QString beforeTag = m_xml.mid(before->start, before->tagEnd - before->start);
        for (const char *name : {"s", "customFormat", "ht", "customHeight"}) {
            const QString key = QLatin1String(name);
            const QString value = Native::attributeOf(beforeTag, key);
            if (!value.isNull())
                tag = Native::withAttribute(tag, key, value);
        }
    }
    QString body;
    for (auto it = cells.constBegin(); it != cells.constEnd(); ++it) {
        const QString style = styleFor(row, it.key(), it.value());
        if (!it.value().isEmpty() || !style.isEmpty())
            body += cellXml(row, it.key(), style, it.value());
    }
    return tag + body + QStringLiteral("</") + m_prefix + QStringLiteral("row>");
}

void Sheet::rewriteRow(const Native::RowRun &run, const QMap<int, QString> &cells, QList<Native::Splice> &splices) const
{
    const int row = run.row;
    const bool selfClosing = run.contentEnd == run.end;
    QString tag = m_xml.mid(run.start, run.tagEnd - run.start);
    const QString spans = Native::attributeOf(tag, QStringLiteral("spans"));
    if (!spans.isNull()) {
        int first = spans.section(QLatin1Char(':'), 0, 0).toInt();
        int last = spans.section(QLatin1Char(':'), 1, 1).toInt();
        first = std::min(first, cells.firstKey());
        last = std::max(last, cells.lastKey());
        tag = Native::withAttribute(tag, QStringLiteral("spans"), QString::number(first) + QLatin1Char(':') +
                                                                      QString::number(last));
    }
    if (selfClosing)
        tag = tag.chopped(2) + QLatin1Char('>');
    splices.append({run.start, run.tagEnd, tag});
    for (auto it = cells.constBegin(); it != cells.constEnd(); ++it) {
        const int column = it.key();
        const Native::CellRun *cell = cellAt(run, column);
        const QString style = styleFor(row, column, it.value());
        if (cell) {
            splices.append({cell->start, cell->end, cellXml(row, column, style, it.value())});
            continue;
        }
        if (it.value().isEmpty() && style.isEmpty())
            continue;
        const auto next = std::find_if(run.cells.cbegin(), run.cells.cend(),
                                       [column](const Native::CellRun &c) { return c.column > column; });
        const qsizetype at = next != run.cells.cend() ? next->start : run.contentEnd;
        splices.append({at, at, cellXml(row, column, style, it.value())});
    }
    if (selfClosing)
        splices.append({run.end, run.end, QStringLiteral("</") + m_prefix + QStringLiteral("row>")});
}

QString Sheet::dimensionTag() const
{
    QString tag = m_xml.mid(m_dimensionStart, m_dimensionEnd - m_dimensionStart);
    const QString ref = Native::attributeOf(tag, QStringLiteral("ref"));
    auto [top, left] = parseReference(ref.section(QLatin1Char(':'), 0, 0));
    auto [bottom, right] = parseReference(ref.section(QLatin1Char(':'), -1));
    for (auto row = edits().constBegin(); row != edits().constEnd(); ++row) {
        for (auto cell = row->constBegin(); cell != row->constEnd(); ++cell) {
            if (cell->isEmpty())
                continue;
            top = top ? std::min(top, row.key()) : row.key();
            left = left ? std::min(left, cell.key()) : cell.key();
            bottom = std::max(bottom, row.key());
            right = std::max(right, cell.key());
        }
    }
    if (!top || !left)
        return tag;
    const QString from = cellReference(top, left), to = cellReference(bottom, right);
    return Native::withAttribute(tag, QStringLiteral("ref"), from == to ? from : from + QLatin1Char(':') + to);
}

bool Sheet::dropsResults() const
{
    return m_mayChange && std::any_of(m_results.cbegin(), m_results.cend(), [this](const StoredResult &result) {
               return m_mayChange(result.formula);
           });
}

Result<QByteArray> Sheet::rewritten() const
{
    QList<Native::Splice> splices;
    QString added; // rows past the last row of the sheet, in order
    for (auto it = edits().constBegin(); it != edits().constEnd(); ++it) {
        const int row = it.key();
        if (const Native::RowRun *run = rowAt(row)) {
            rewriteRow(*run, it.value(), splices);
            continue;
        }
        const auto next =
            std::find_if(rows.cbegin(), rows.cend(), [row](const Native::RowRun &r) { return r.row > row; });
        if (next != rows.cend())
            splices.append({next->start, next->start, newRowXml(row, it.value())});
        else
            added += newRowXml(row, it.value());
    }
    if (!added.isEmpty()) {
        if (m_dataContentEnd == m_dataEnd) // <sheetData/>
            splices.append({m_dataStart, m_dataEnd,
                            QLatin1Char('<') + m_prefix + QStringLiteral("sheetData>") + added + QStringLiteral("</") +
                                m_prefix + QStringLiteral("sheetData>")});
        else
            splices.append({m_dataContentEnd, m_dataContentEnd, added});
    }
    if (m_mayChange) {
        for (const StoredResult &result : m_results)
            if (!edits().value(result.row).contains(result.column) && m_mayChange(result.formula))
                splices.append({result.start, result.end, QString()});
    }
    if (m_dimensionStart >= 0 && m_dimensionEnd > m_dimensionStart)
        splices.append({m_dimensionStart, m_dimensionEnd, dimensionTag()});
    const Result<QString> xml = Native::applySplices(m_xml, splices);
    if (!xml)
        return xml.failure();
    return m_bom + xml->toUtf8();
}

} // namespace Xlsx
