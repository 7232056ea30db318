#pragma once

#include <QList>
#include <QRectF>

class QPaintDevice;
class QPainter;
class QTextDocument;
class QTextFrame;
class QTextTable;
class QTextTableCell;
class QTextTableFormat;

// Table borders that we draw rather than Qt. Qt saves and restores the
// painter's whole state around every cell's border, and on a PDF page
// that cost more than the table's text; here a page's borders are one
// batch of filled rectangles. The table keeps the room of its border, so
// it is laid out exactly as if Qt drew them.
namespace TableBorders {

// Header rows (QTextTableFormat::headerRowCount) that Qt makes room for at
// the top of a page the table goes on to: the text between document
// positions `from` and `to`, drawn again on `page` moved down by `shift`.
struct RepeatedRows {
    int from = 0, to = 0;
    int page = 0;
    qreal shift = 0;
};

// Gives `format` a solid border `width` (document units) for us to draw.
void setBorder(QTextTableFormat &format, qreal width);

// The borders of a laid-out document's tables: every cell's outline and
// one round each table, found by where Qt put the cells.
class Outlines {
public:
    // `pageHeight`: the height of a page in the document's layout, the
    // unit by which outlines are sorted; 0 for an unpaged document.
    Outlines(QTextDocument *document, const QPaintDevice *device, qreal pageHeight);

    // Draws the outlines within `view` (document pixels, one page). An
    // outline that goes on past the view is closed at the view's edge,
    // so a table broken across pages is boxed on each of them.
    void draw(QPainter &painter, const QRectF &view) const;

    struct Box {
        QRectF rect;  // the outer edge of the outline
        qreal width;  // of its lines
    };
    // Every outline, for checking; a cell before the table it is in.
    QList<Box> boxes() const;
    // The header rows to draw again on the pages their tables go on to.
    const QList<RepeatedRows> &repeatedRows() const { return m_repeated; }

private:
    void addTables(QTextFrame *frame);
    void addTable(QTextTable *table);
    void add(const Box &box);
    QPointF contentOrigin(const QTextTableCell &cell) const;

    QTextDocument *m_document;
    qreal m_scale;
    qreal m_pageHeight;
    QList<Box> m_boxes;
    QList<QList<int>> m_byPage; // indexes into m_boxes, by the pages they reach
    QList<RepeatedRows> m_repeated;
};

} // namespace TableBorders
