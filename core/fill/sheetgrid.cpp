#include "core/fill/sheetgrid.h"

#include "core/fill/valuetext.h"

#include <algorithm>

namespace Native {

Result<QString> Grid::cellText(int row, int column)
{
    const auto editedRow = m_edits.constFind(row);
    if (editedRow != m_edits.constEnd()) {
        const auto edited = editedRow->constFind(column);
        if (edited != editedRow->constEnd())
            return *edited;
    }
    const CellRun *cell = cellAt(row, column);
    if (!cell)
        return QString();
    return readText(*cell);
}

Result<QString> Grid::readText(const CellRun &cell) const
{
    QString text = textOf(cell);
    if (Status sound = damage(); !sound)
        return sound.failure();
    return text;
}

Result<bool> Grid::cellUsed(int row, int column)
{
    const auto editedRow = m_edits.constFind(row);
    const bool edited = editedRow != m_edits.constEnd() && editedRow->contains(column);
    if (!edited) {
        const CellRun *cell = cellAt(row, column);
        if (cell && cell->formula)
            return true;
    }
    const Result<QString> text = cellText(row, column);
    if (!text)
        return text.failure();
    return !text->isEmpty();
}

Status Grid::setCellText(int row, int column, const QString &text)
{
    m_edits[row][column] = text;
    return {};
}

std::optional<char32_t> Grid::unfitCharacter(const QString &text) const
{
    return ValueText::firstUnfitForXml(text);
}

Status Grid::damage() const
{
    if (!m_damage.isEmpty())
        return Failure{m_damage};
    return {};
}

void Grid::markDamaged(const QString &why) const
{
    if (m_damage.isEmpty())
        m_damage = why;
}

const RowRun *Grid::rowAt(int row) const
{
    auto it = std::upper_bound(rows.cbegin(), rows.cend(), row, [](int r, const RowRun &run) { return r < run.row; });
    if (it == rows.cbegin())
        return nullptr;
    --it;
    return row < it->row + it->count ? &*it : nullptr;
}

const CellRun *Grid::cellAt(const RowRun &row, int column)
{
    auto it = std::upper_bound(row.cells.cbegin(), row.cells.cend(), column,
                               [](int c, const CellRun &run) { return c < run.column; });
    if (it == row.cells.cbegin())
        return nullptr;
    --it;
    return column < it->column + it->count ? &*it : nullptr;
}

const CellRun *Grid::cellAt(int row, int column) const
{
    const RowRun *run = rowAt(row);
    return run ? cellAt(*run, column) : nullptr;
}

QString Grid::inheritedStyle(int row, int column) const
{
    const CellRun *above = row > 1 ? cellAt(row - 1, column) : nullptr;
    const CellRun *left = column > 1 ? cellAt(row, column - 1) : nullptr;
    if (above && !textOf(*above).isEmpty())
        return above->style;
    if (left && !textOf(*left).isEmpty())
        return left->style;
    if (above)
        return above->style;
    return left ? left->style : QString();
}

QString Grid::styleFor(int row, int column, const QString &text) const
{
    if (text.size() >= 1 && text.startsWith(QLatin1Char('&')) && text.endsWith(QLatin1Char('&'))) {
        const CellRun *above = row > 1 ? cellAt(row - 1, column) : nullptr;
        if (above && textOf(*above) == text)
            return above->style;
        const CellRun *left = column > 1 ? cellAt(row, column - 1) : nullptr;
        if (left && textOf(*left) == text)
            return left->style;
    }
    const CellRun *own = cellAt(row, column);
    return own && !own->style.isEmpty() ? own->style : inheritedStyle(row, column);
}

QString escapeXml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\r': out += QLatin1String("&#13;"); break;
        default:
            out += ch;
        }
    }
    // Characters XML 1.0 cannot carry at all are left out: written, they
    // would make the office drop the sheet or every cell after them.
    while (const std::optional<char32_t> unfit = ValueText::firstUnfitForXml(out))
        out.remove(out.indexOf(QChar{char16_t(*unfit)}), 1);
    return out;
}

} // namespace Native

namespace Native {

Result<QString> applySplices(const QString &source, QList<Splice> splices)
{
    std::stable_sort(splices.begin(), splices.end(), [](const Splice &a, const Splice &b) { return a.start < b.start; });
    // Sized once: growing a copy of megabytes step by step copies it again
    // and again.
    qsizetype size = source.size();
    for (const Splice &splice : std::as_const(splices))
        size += splice.text.size() - std::max<qsizetype>(0, splice.end - splice.start);
    QString out;
    out.reserve(std::max(size, source.size()));
    qsizetype at = 0;
    for (const Splice &splice : std::as_const(splices)) {
        // Overlapping or backward pieces come only from damaged markup, and
        // would copy the rest of the part into the middle of it.
        if (splice.start < at || splice.end < splice.start || splice.end > source.size())
            return Failure{QStringLiteral("The spreadsheet's content is damaged")};
        out += QStringView(source).mid(at, splice.start - at);
        out += splice.text;
        at = splice.end;
    }
    out += QStringView(source).mid(at);
    return out;
}

namespace {

// Where ` name="..."` sits in the tag: its start and end, or -1.
std::pair<qsizetype, qsizetype> findAttribute(const QString &tag, const QString &name)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = tag.indexOf(name, from);
        if (at < 1)
            return {-1, -1};
        from = at + 1;
        qsizetype eq = at + name.size();
        if (!tag.at(at - 1).isSpace() || eq >= tag.size() || tag.at(eq) != QLatin1Char('='))
            continue;
        const QChar quote = tag.at(eq + 1);
        const qsizetype close = tag.indexOf(quote, eq + 2);
        if (close < 0)
            return {-1, -1};
        return {at - 1, close + 1};
    }
}

} // namespace

QString attributeOf(const QString &tag, const QString &name)
{
    const auto [start, end] = findAttribute(tag, name);
    if (start < 0)
        return QString();
    const qsizetype valueStart = start + 1 + name.size() + 2;
    return tag.mid(valueStart, end - 1 - valueStart);
}

QString withAttribute(const QString &tag, const QString &name, const QString &value)
{
    QString out = tag;
    const auto [start, end] = findAttribute(out, name);
    const QString attribute =
        value.isNull() ? QString() : QLatin1Char(' ') + name + QStringLiteral("=\"") + escapeXml(value) + QLatin1Char('"');
    if (start >= 0)
        return out.replace(start, end - start, attribute);
    const qsizetype close = out.endsWith(QLatin1String("/>")) ? out.size() - 2 : out.size() - 1;
    return out.insert(close, attribute);
}

} // namespace Native
