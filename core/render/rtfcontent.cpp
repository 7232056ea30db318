#include "core/render/rtfcontent.h"

#include "core/render/tableborders.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace Rtf {

namespace {
qreal px(int twips) { return twips / 15.0; } // document units are 96 per inch

// The row that defines the columns when the rows' right edges do not
// make a grid: the one with the most cells.
const Row *widestRow(const Table &table)
{
    const Row *best = nullptr;
    for (const Row &row : table.rows)
        if (!best || row.cells.size() > best->cells.size()
            || (row.cells.size() == best->cells.size() && row.cellx.size() > best->cellx.size()))
            best = &row;
    return best;
}

// Rows may divide the width differently (a heading across two columns
// has one right edge less than the rows under it), so the columns are
// those of all rows' right edges together, and a cell spans from the
// edge of the cell before it to its own. Without usable edges the cells
// of a row go into the columns one by one.
TableGrid gridOf(const Table &table)
{
    constexpr int kSameEdge = 20; // twips; closer edges are one, rounded apart by the writer
    constexpr int kMaxGridColumns = 63;
    TableGrid grid;
    const Row *widest = widestRow(table);
    if (!widest)
        return grid;
    grid.left = widest->left;
    QList<int> all;
    bool usable = true;
    for (const Row &row : table.rows) {
        usable = usable && row.cellx.size() >= row.cells.size();
        for (qsizetype i = 0; usable && i < row.cells.size(); ++i)
            all << row.cellx[i];
    }
    std::sort(all.begin(), all.end());
    for (const int x : all) { // each edge stands for the run of near ones ending with it
        if (!grid.edges.isEmpty() && x - grid.edges.last() <= kSameEdge)
            grid.edges.last() = x;
        else
            grid.edges << x;
    }
    usable = usable && !grid.edges.isEmpty() && grid.edges.size() <= kMaxGridColumns;
    for (const Row &row : table.rows) {
        QList<CellPlace> places;
        int next = 0;
        for (qsizetype i = 0; usable && i < row.cells.size(); ++i) {
            const int last = static_cast<int>(std::lower_bound(grid.edges.begin(), grid.edges.end(), row.cellx[i])
                                               - grid.edges.begin());
            usable = last >= next; // edges out of order
            places << CellPlace{next, last - next + 1};
            next = last + 1;
        }
        grid.places << places;
    }
    if (usable) {
        grid.columns = static_cast<int>(grid.edges.size());
        return grid;
    }
    // One cell a column, the widest row's edges giving the widths.
    grid.columns = std::max<int>(1, static_cast<int>(widest->cells.size()));
    grid.edges = widest->cellx.size() >= grid.columns ? widest->cellx.first(grid.columns) : QList<int>();
    grid.places.clear();
    for (const Row &row : table.rows) {
        QList<CellPlace> places;
        for (int i = 0; i < row.cells.size() && i < grid.columns; ++i)
            places << CellPlace{i, 1};
        // A shorter row whose last cell ends where the widest row does
        // reaches the table's right edge, as word processors show it.
        if (!places.isEmpty() && places.size() < grid.columns && !widest->cellx.isEmpty()
            && row.cellx.value(places.size() - 1, -1) >= widest->cellx.last() - kSameEdge)
            places.last().span = grid.columns - places.last().column;
        grid.places << places;
    }
    return grid;
}

QTextTableFormat tableFormat(const Row &row, const TableGrid &grid)
{
    QTextTableFormat format;
    format.setCellSpacing(0);
    format.setCellPadding(3);
    // Collapsed borders would double the time Qt takes to lay a table out.
    format.setBorderCollapse(false);
    TableBorders::setBorder(format, row.borders ? 1 : 0);
    if (grid.left > 0)
        format.setLeftMargin(px(grid.left));
    if (!grid.edges.isEmpty()) {
        QList<QTextLength> widths;
        int previous = grid.left;
        for (const int right : grid.edges) {
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
    const TableGrid grid = gridOf(table);
    const QTextTableFormat format = tableFormat(*widest, grid);
    // A piece's frame border and the one above's lie over their cells'
    // borders, so rows are as far apart as in the one table.
    QTextTableFormat below = format;
    below.setTopMargin(-2 * format.border());
    const int rows = static_cast<int>(table.rows.size());
    // Rows marked to repeat at the top of each page, which Qt does for one
    // table: such a table is cut into longer pieces, which Qt still lays
    // out in reasonable time.
    int headerRows = 0;
    while (headerRows < rows && table.rows[headerRows].header)
        ++headerRows;
    const int piece = headerRows > 0 ? kHeadedTablePiece : kTablePiece;
    int from = 0;
    while (from < rows) {
        int to = rows;
        if (rows - from > piece * 3 / 2) {
            // Cut below a cell merged down, unless it goes on so long that
            // the piece would grow with the table again.
            to = from + piece;
            while (to < rows && to < from + 2 * piece && continuesAbove(table.rows[to]))
                ++to;
        }
        if (from > 0) { // the block Qt keeps between two tables, without height
            cursor.setBlockFormat(joiningBlock());
            cursor.setBlockCharFormat(joiningChar());
        }
        QTextTableFormat pieceFormat = from > 0 ? below : format;
        if (from == 0 && headerRows < to)
            pieceFormat.setHeaderRowCount(headerRows);
        writeRows(cursor, table, grid, from, to, pieceFormat);
        from = to;
    }
    first = true; // the empty paragraph that follows every table
}

void Writer::writeRows(QTextCursor &cursor, const Table &table, const TableGrid &grid, int from, int to,
                       const QTextTableFormat &format)
{
    QTextTable *textTable = cursor.insertTable(to - from, grid.columns, format);
    for (int r = from; r < to; ++r) {
        const QList<Cell> &cells = table.rows[r].cells;
        const QList<CellPlace> &places = grid.places[r];
        for (int c = 0; c < places.size(); ++c) {
            QTextCursor cellCursor = textTable->cellAt(r - from, places[c].column).firstCursorPosition();
            bool cellFirst = true;
            for (const Item &item : cells[c].items)
                write(cellCursor, item, cellFirst);
        }
    }
    mergeCells(textTable, table, grid, from);
    cursor.setPosition(textTable->lastPosition() + 1);
}

// Joins cells once the table is filled: a cell across several columns of
// the grid, and cells merged across (\clmgf) or down (\clvmgf). Every
// merge makes Qt rebuild the table's grid, so a table gets a bounded
// number of them.
void Writer::mergeCells(QTextTable *textTable, const Table &table, const TableGrid &grid, int firstRow)
{
    constexpr int kMaxMerges = 500;
    // Qt lays out a cell merged down in time that grows with the cube of
    // its rows; a longer one is merged in parts.
    constexpr int kMaxMergedRows = 25;
    int merges = 0;
    const int rows = textTable->rows();
    // The cell of row r (of this piece) that starts in grid column `column`.
    auto cellAtColumn = [&](int r, int column) -> int {
        const QList<CellPlace> &places = grid.places[firstRow + r]; // in the order of their columns
        const auto place = std::lower_bound(places.begin(), places.end(), column,
                                            [](const CellPlace &p, int col) { return p.column < col; });
        return place != places.end() && place->column == column ? static_cast<int>(place - places.begin()) : -1;
    };
    for (int r = 0; r < rows && merges < kMaxMerges; ++r) {
        const Row &row = table.rows[firstRow + r];
        const QList<CellPlace> &places = grid.places[firstRow + r];
        for (int c = 0; c < places.size() && merges < kMaxMerges; ++c) {
            const quint8 flags = row.merges.value(c);
            int last = c; // the last cell merged across into this one
            if (flags & MergeFirst)
                while (last + 1 < places.size() && (row.merges.value(last + 1) & MergeNext))
                    ++last;
            const int across = places[last].column + places[last].span - places[c].column;
            int down = 1;
            while ((flags & MergeTop) && r + down < rows && down < kMaxMergedRows) {
                const int below = cellAtColumn(r + down, places[c].column);
                if (below < 0 || !(table.rows[firstRow + r + down].merges.value(below) & MergeBelow))
                    break;
                ++down;
            }
            if (across > 1 || down > 1) {
                textTable->mergeCells(r, places[c].column, down, across);
                ++merges;
            }
            c = last;
        }
    }
}

} // namespace Rtf
