#pragma once

#include "core/render/tableborders.h"

#include <QList>
#include <QPointF>
#include <QRectF>

class QPainter;
class QTextDocument;
class QTextLayout;

// The paragraphs of a laid-out document, by the pages they reach, painted
// paragraph by paragraph. Qt's own painting looks up every table cell's
// place again for every page, which cost more than drawing the text; here
// each paragraph's place is looked up once. Only for documents whose every
// mark is a paragraph's text or picture (and table borders, drawn apart):
// lists, rules and backgrounds of blocks, cells and frames are not drawn.
class PageBlocks {
public:
    // `pageHeight`: the page height the document was laid out with;
    // `repeated`: tables' header rows to draw again on later pages.
    PageBlocks(QTextDocument *document, qreal pageHeight, const QList<TableBorders::RepeatedRows> &repeated = {});

    // Draws the lines within `view` (one page, in document pixels).
    void draw(QPainter &painter, const QRectF &view) const;

private:
    struct Placed {
        QTextLayout *layout;
        QPointF offset; // of the frame it is laid out in
    };
    qreal m_pageHeight;
    QList<QList<Placed>> m_byPage;
};
