#include "core/render/tableborders.h"

#include "core/render/layoutscale.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

#include <cmath>

namespace TableBorders {

namespace {
constexpr int kOurBorder = QTextFormat::UserProperty + 1;

// Qt rounds a frame's margins, border and padding to whole device pixels.
qreal whole(qreal value) { return std::round(value); }
} // namespace

void setBorder(QTextTableFormat &format, qreal width)
{
    format.setBorder(width);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    format.setProperty(kOurBorder, width > 0);
}

Outlines::Outlines(QTextDocument *document, const QPaintDevice *device, qreal pageHeight)
    : m_document(document), m_scale(layoutScale(device)), m_pageHeight(pageHeight)
{
    addTables(document->rootFrame());
}

void Outlines::addTables(QTextFrame *frame)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child))
            addTable(table);
        else
            addTables(child);
    }
}

// The top left corner of a cell's content: its first paragraph is laid out
// there.
QPointF Outlines::contentOrigin(const QTextTableCell &cell) const
{
    const QTextBlock block = m_document->findBlock(cell.firstPosition());
    const QRectF rect = m_document->documentLayout()->blockBoundingRect(block);
    return rect.topLeft() - block.layout()->position();
}

// Cells are placed from where Qt laid out their content; only the table's
// size is taken from its frame, whose reported place is not the table's.
void Outlines::addTable(QTextTable *table)
{
    const QTextTableFormat format = table->format();
    const int rows = table->rows();
    const int columns = table->columns();
    const qreal s = m_scale;
    const qreal border = whole(s * format.border());
    const qreal padding = whole(s * format.padding());
    const qreal spacing = s * format.cellSpacing();
    const qreal cellPadding = s * format.cellPadding();
    const qreal gap = 2 * border + spacing;               // from one cell to the next
    const qreal rim = border + padding + spacing + border; // from the table's outline to its cells

    // Rows' tops and columns' left edges, from cells that start there.
    QList<qreal> top(rows, qQNaN()), left(columns, qQNaN());
    struct Start {
        int row, column, rows, columns;
    };
    QList<Start> starts;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if ((r > 0 && table->cellAt(r - 1, c) == cell) || (c > 0 && table->cellAt(r, c - 1) == cell))
                continue;
            Start start{r, c, 1, 1};
            while (r + start.rows < rows && table->cellAt(r + start.rows, c) == cell)
                ++start.rows;
            while (c + start.columns < columns && table->cellAt(r, c + start.columns) == cell)
                ++start.columns;
            starts << start;
            if (std::isnan(top[r]) || std::isnan(left[c])) {
                const QPointF content = contentOrigin(cell);
                top[r] = content.y() - cellPadding;
                left[c] = content.x() - cellPadding;
            }
        }
    }
    if (starts.isEmpty() || std::isnan(top[0]) || std::isnan(left[0]))
        return;
    const QSizeF size = m_document->documentLayout()->frameBoundingRect(table).size();
    const QPointF corner(left[0] - rim, top[0] - rim);
    const QRectF outline(corner, QSizeF(size.width() - whole(s * format.leftMargin()) - whole(s * format.rightMargin()),
                                        size.height() - whole(s * format.topMargin()) - whole(s * format.bottomMargin())));
    // A column no cell starts in follows the width the table asked for.
    const QList<QTextLength> widths = format.columnWidthConstraints();
    for (int c = 1; c < columns; ++c)
        if (std::isnan(left[c]))
            left[c] = left[c - 1] + s * widths.value(c - 1).rawValue() + gap;
    auto right = [&](int c) { return c + 1 < columns ? left[c + 1] - gap : outline.right() - rim; };
    auto bottom = [&](int r) {
        for (int below = r + 1; below < rows; ++below)
            if (!std::isnan(top[below]))
                return top[below] - gap;
        return outline.bottom() - rim;
    };

    // Qt leaves room for the header rows above the first row that starts
    // a page after the table's first.
    const int headed = m_pageHeight > 0 ? std::min(format.headerRowCount(), rows - 1) : 0;
    QList<qreal> shifts; // of the header rows' copies
    if (headed > 0) {
        const qreal below = bottom(headed - 1) + gap; // where the first row under the header starts
        auto pageOf = [this](qreal y) { return static_cast<int>(std::floor(y / m_pageHeight)); };
        int page = pageOf(top[0]);
        for (int r = headed; r < rows; ++r) {
            if (std::isnan(top[r]) || pageOf(top[r]) <= page)
                continue;
            page = pageOf(top[r]);
            shifts << top[r] - below;
            m_repeated << RepeatedRows{table->cellAt(0, 0).firstPosition(),
                                       table->cellAt(headed - 1, columns - 1).lastPosition(), page, shifts.last()};
        }
    }
    if (format.boolProperty(kOurBorder) && border > 0) {
        for (const Start &start : starts) {
            const QRectF cell(QPointF(left[start.column], top[start.row]),
                              QPointF(right(start.column + start.columns - 1), bottom(start.row + start.rows - 1)));
            add(Box{cell.adjusted(-border, -border, border, border), border});
            if (start.row + start.rows <= headed)
                for (const qreal shift : std::as_const(shifts))
                    add(Box{cell.adjusted(-border, shift - border, border, shift + border), border});
        }
        add(Box{outline, border});
    }
    addTables(table); // tables within its cells
}

void Outlines::add(const Box &box)
{
    if (box.rect.isEmpty())
        return;
    const auto index = static_cast<int>(m_boxes.size());
    m_boxes << box;
    const int first = m_pageHeight > 0 ? std::max(0, static_cast<int>(box.rect.top() / m_pageHeight)) : 0;
    const int last = m_pageHeight > 0 ? std::max(first, static_cast<int>(box.rect.bottom() / m_pageHeight)) : 0;
    if (m_byPage.size() <= last)
        m_byPage.resize(last + 1);
    for (int page = first; page <= last; ++page)
        m_byPage[page] << index;
}

QList<Outlines::Box> Outlines::boxes() const { return m_boxes; }

void Outlines::draw(QPainter &painter, const QRectF &view) const
{
    const int page = m_pageHeight > 0 ? static_cast<int>(std::floor(view.center().y() / m_pageHeight)) : 0;
    if (page < 0 || page >= m_byPage.size())
        return;
    QList<QRectF> lines;
    for (const int index : m_byPage[page]) {
        const Box &box = m_boxes[index];
        const qreal top = std::max(box.rect.top(), view.top());
        const qreal bottom = std::min(box.rect.bottom(), view.bottom());
        const qreal w = box.width;
        if (bottom - top < w || box.rect.right() < view.left() || box.rect.left() > view.right())
            continue;
        const qreal l = box.rect.left(), r = box.rect.right();
        lines << QRectF(l, top, r - l, w) << QRectF(l, bottom - w, r - l, w);
        if (bottom - top > 2 * w)
            lines << QRectF(l, top + w, w, bottom - top - 2 * w) << QRectF(r - w, top + w, w, bottom - top - 2 * w);
    }
    if (lines.isEmpty())
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRects(lines);
    painter.restore();
}

} // namespace TableBorders
