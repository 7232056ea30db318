#include "core/render/pageblocks.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

PageBlocks::PageBlocks(QTextDocument *document, qreal pageHeight, const QList<TableBorders::RepeatedRows> &repeated)
    : m_pageHeight(pageHeight)
{
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextLayout *lines = block.layout();
        if (!block.isVisible() || !lines || lines->lineCount() == 0)
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        const Placed placed{lines, rect.topLeft() - lines->position()};
        const int first = m_pageHeight > 0 ? std::max(0, static_cast<int>(rect.top() / m_pageHeight)) : 0;
        const int last = m_pageHeight > 0 ? std::max(first, static_cast<int>(rect.bottom() / m_pageHeight)) : 0;
        if (m_byPage.size() <= last)
            m_byPage.resize(last + 1);
        for (int page = first; page <= last; ++page)
            m_byPage[page] << placed;
    }
    for (const TableBorders::RepeatedRows &rows : repeated) {
        if (rows.page < 0 || rows.page >= m_byPage.size())
            continue;
        for (QTextBlock block = document->findBlock(rows.from); block.isValid() && block.position() <= rows.to;
             block = block.next()) {
            QTextLayout *lines = block.layout();
            if (block.isVisible() && lines && lines->lineCount() > 0)
                m_byPage[rows.page] << Placed{lines, layout->blockBoundingRect(block).topLeft() - lines->position()
                                                         + QPointF(0, rows.shift)};
        }
    }
}

void PageBlocks::draw(QPainter &painter, const QRectF &view) const
{
    const int page = m_pageHeight > 0 ? static_cast<int>(std::floor(view.center().y() / m_pageHeight)) : 0;
    if (page < 0 || page >= m_byPage.size())
        return;
    for (const Placed &placed : m_byPage[page])
        placed.layout->draw(&painter, placed.offset, {}, view);
}
