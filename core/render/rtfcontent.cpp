#include "core/render/rtfcontent.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace Rtf {

namespace {
qreal px(int twips) { return twips / 15.0; } // document units are 96 per inch

// The row that defines the columns: the one with the most cells.
const Row *widestRow(const Table &table)
{
    const Row *best = nullptr;
    for (const Row &row : table.rows)
        if (!best || row.cells.size() > best->cells.size()
            || (row.cells.size() == best->cells.size() && row.cellx.size() > best->cellx.size()))
            best = &row;
    return best;
}

QTextTableFormat tableFormat(const Row &row, int columns)
{
    QTextTableFormat format;
    format.setCellSpacing(0);
    format.setCellPadding(3);
    // Collapsed borders would double the time Qt takes to lay a table out.
    format.setBorderCollapse(false);
    format.setBorder(row.borders ? 1 : 0);
    format.setBorderStyle(row.borders ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    if (row.left > 0)
        format.setLeftMargin(px(row.left));
    if (row.cellx.size() >= columns) {
        QList<QTextLength> widths;
        int previous = row.left;
        for (int i = 0; i < columns; ++i) {
            const int right = row.cellx[i];
            widths << QTextLength(QTextLength::FixedLength, px(std::max(right - previous, 1)));
            previous = std::max(previous, right);
        }
        format.setColumnWidthConstraints(widths);
    }
    return format;
}

bool continuesAbove(const Row &row)
{
    for (const quint8 merge : row.merges)
        if (merge & MergeBelow)
            return true;
    return false;
}

QTextBlockFormat joiningBlock()
{
    QTextBlockFormat format;
    format.setLineHeight(0, QTextBlockFormat::FixedHeight);
    return format;
}

QTextCharFormat joiningChar()
{
    QTextCharFormat format;
    format.setFontPointSize(1);
    return format;
}
} // namespace

Writer::Writer(QTextDocument *document)
    : m_document(document), m_cursor(std::make_unique<QTextCursor>(document))
{
    // Inside one edit the document rebuilds its tree of tables once, at
    // the end, instead of after every table.
    m_cursor->beginEditBlock();
}

void Writer::finish() { m_cursor->endEditBlock(); }

void Writer::write(const Item &item) { write(*m_cursor, item, m_first); }

void Writer::write(QTextCursor &cursor, const Item &item, bool &first)
{
    if (item.table)
        writeTable(cursor, *item.table, first);
    else
        writeParagraph(cursor, item.paragraph, first);
}

void Writer::writeParagraph(QTextCursor &cursor, const Paragraph &paragraph, bool &first)
{
    if (first)
        cursor.setBlockFormat(paragraph.format);
    else
        cursor.insertBlock(paragraph.format);
    first = false;
    for (const Run &run : paragraph.runs) {
        if (run.image.isNull()) {
            cursor.insertText(run.text, run.format);
            continue;
        }
        const QString name = QStringLiteral("rtfpicture:%1").arg(++m_images);
        m_document->addResource(QTextDocument::ImageResource, QUrl(name), run.image);
        QTextImageFormat image;
        image.setName(name);
        image.setWidth(run.imageSize.width());
        image.setHeight(run.imageSize.height());
        cursor.insertImage(image);
    }
}

// Qt lays a table out in time that grows faster than its length, so a
// long table is written as tables of a bounded number of rows, one under
// the other with nothing between them, cut only where no cell spans rows.
void Writer::writeTable(QTextCursor &cursor, const Table &table, bool &first)
{
    const Row *widest = widestRow(table);
    if (!widest)
        return;
    const int columns = std::max<int>(1, static_cast<int>(widest->cells.size()));
    const QTextTableFormat format = tableFormat(*widest, columns);
    // A piece's frame border and the one above's lie over their cells'
    // borders, so rows are as far apart as in the one table.
    QTextTableFormat below = format;
    below.setTopMargin(-2 * format.border());
    const int rows = static_cast<int>(table.rows.size());
    int from = 0;
    while (from < rows) {
        int to = rows;
        if (rows - from > kLongTable) {
            to = from + kTablePiece;
            while (to < rows && continuesAbove(table.rows[to]))
                ++to;
        }
        if (from > 0) { // the block Qt keeps between two tables, without height
            cursor.setBlockFormat(joiningBlock());
            cursor.setBlockCharFormat(joiningChar());
        }
        writeRows(cursor, table, from, to, columns, from > 0 ? below : format);
        from = to;
    }
    first = true; // the empty paragraph that follows every table
}

void Writer::writeRows(QTextCursor &cursor, const Table &table, int from, int to, int columns,
                       const QTextTableFormat &format)
{
    QTextTable *textTable = cursor.insertTable(to - from, columns, format);
    for (int r = from; r < to; ++r) {
        const QList<Cell> &cells = table.rows[r].cells;
        for (int c = 0; c < cells.size() && c < columns; ++c) {
            QTextCursor cellCursor = textTable->cellAt(r - from, c).firstCursorPosition();
            bool cellFirst = true;
            for (const Item &item : cells[c].items)
                write(cellCursor, item, cellFirst);
        }
    }
    mergeCells(textTable, table, from);
    cursor.setPosition(textTable->lastPosition() + 1);
}

// Joins merged cells once the table is filled. Every merge makes Qt
// rebuild the table's grid, so a table gets a bounded number of them.
void Writer::mergeCells(QTextTable *textTable, const Table &table, int firstRow)
{
    constexpr int kMaxMerges = 500;
    int merges = 0;
    const int rows = textTable->rows(), columns = textTable->columns();
    auto flags = [&](int r, int c) -> quint8 { return table.rows[firstRow + r].merges.value(c); };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns && merges < kMaxMerges; ++c) {
            int across = 1, down = 1;
            if (flags(r, c) & MergeFirst)
                while (c + across < columns && (flags(r, c + across) & MergeNext))
                    ++across;
            if (flags(r, c) & MergeTop)
                while (r + down < rows && (flags(r + down, c) & MergeBelow))
                    ++down;
            if (across > 1 || down > 1) {
                textTable->mergeCells(r, c, down, across);
                ++merges;
            }
        }
    }
}

} // namespace Rtf
