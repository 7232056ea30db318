#include "core/render/printdocument.h"

#include "core/render/layoutscale.h"
#include "core/render/pageblocks.h"
#include "core/render/tableborders.h"

#include "platform/codepage.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextDocument>

#include <optional>

namespace PrintDocument {

namespace {
bool isHtmlName(const QString &fileName)
{
    return fileName.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive)
           || fileName.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive);
}

QString decodeHtml(const QByteArray &text)
{
    // The page's own charset when it names one; else as our text files.
    QStringDecoder decoder = QStringDecoder::decoderForHtml(text);
    if (decoder.isValid()) {
        const QString decoded = decoder.decode(text);
        if (!decoder.hasError())
            return decoded;
    }
    return Platform::decodeText(text);
}

// Qt scales every measure of a document to the device it is laid out for
// but paragraphs' left and right margins and first-line indents, which a
// printer's many pixels made twelve times too small. They are scaled here;
// each paragraph keeps the scale it was given, so a header prepared again
// for each page is not scaled twice.
void scaleIndents(QTextDocument *document, qreal scale)
{
    constexpr int kIndentScale = QTextFormat::UserProperty + 2;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.leftMargin() == 0 && format.rightMargin() == 0 && format.textIndent() == 0)
            continue;
        const qreal before = format.hasProperty(kIndentScale) ? format.doubleProperty(kIndentScale) : 1.0;
        if (before == scale)
            continue;
        const qreal factor = scale / before;
        format.setLeftMargin(format.leftMargin() * factor);
        format.setRightMargin(format.rightMargin() * factor);
        format.setTextIndent(format.textIndent() * factor);
        format.setProperty(kIndentScale, scale);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
}

// Lays `document` out for the device in its pixels, `size` big (an
// unbounded height for headers and footers). Every setting that changes
// the layout is made while the document cannot lay out (a null page size),
// so the text is laid out once, for the device, and not first for the
// screen.
void prepare(QTextDocument *document, QPagedPaintDevice *device, QSizeF size)
{
    document->setPageSize(QSizeF(0, 0));
    document->setDocumentMargin(0);
    document->documentLayout()->setPaintDevice(device);
    scaleIndents(document, layoutScale(device));
    // Painting would shape every line's text a second time without this.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
    document->setPageSize(size);
}

// Qt lays a document out in steps that grow only while it is asked for
// a point further down, each step laying out again the part in front of
// it. Asked for the page count first, it keeps to its smallest steps and
// lays every table out twice; asked for the far end first, it does not.
void layOutWhole(QTextDocument *document)
{
    constexpr qreal kFarDown = 3e7; // device pixels, within what the layout counts in
    document->documentLayout()->hitTest(QPointF(0, kFarDown), Qt::FuzzyHit);
}

// A header or footer with its page-number marks replaced by `page`.
std::unique_ptr<QTextDocument> numbered(QTextDocument *document, int page)
{
    std::unique_ptr<QTextDocument> copy(document->clone());
    const QString mark{QChar(RtfReader::kPageNumber)};
    for (QTextCursor c = copy->find(mark); !c.isNull(); c = copy->find(mark, c))
        c.insertText(QString::number(page));
    return copy;
}

bool hasPageNumber(const QTextDocument *document)
{
    return document && !document->find(QString(QChar(RtfReader::kPageNumber))).isNull();
}

void drawAt(QPainter &painter, QTextDocument *document, qreal y)
{
    painter.save();
    painter.translate(0, y);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = QRectF(QPointF(0, 0), document->size());
    document->documentLayout()->draw(&painter, context);
    TableBorders::Outlines(document, painter.device(), 0).draw(painter, context.clip);
    painter.restore();
}
} // namespace

RtfReader::Document forFile(const QByteArray &text, const QString &fileName)
{
    if (RtfReader::looksLikeRtf(text))
        return RtfReader::readDocument(text);
    RtfReader::Document document;
    document.body = std::make_unique<QTextDocument>();
    document.page.margins = QMarginsF(90, 72, 90, 72);
    if (isHtmlName(fileName))
        document.body->setHtml(decodeHtml(text));
    else
        document.body->setPlainText(Platform::decodeText(text));
    return document;
}

QPageLayout pageLayout(const RtfReader::PageSetup &page, const QPageSize &fallback)
{
    const QSizeF paper = page.paper;
    const bool named = paper.width() > 0 && paper.height() > 0;
    const bool landscape = page.landscape || (named && paper.width() > paper.height());
    const QPageSize size = named ? QPageSize(QSizeF(std::min(paper.width(), paper.height()),
                                                    std::max(paper.width(), paper.height())),
                                             QPageSize::Point, QString(), QPageSize::FuzzyMatch)
                                 : fallback;
    // Margins that leave less than an inch of text are the document's
    // mistake; the text keeps an inch each way then.
    const QSizeF sheet = size.size(QPageSize::Point);
    const qreal width = landscape ? sheet.height() : sheet.width();
    const qreal height = landscape ? sheet.width() : sheet.height();
    QMarginsF m(std::max(0.0, page.margins.left()), std::max(0.0, page.margins.top()),
                std::max(0.0, page.margins.right()), std::max(0.0, page.margins.bottom()));
    if (width - m.left() - m.right() < 72)
        m.setLeft(0), m.setRight(0);
    if (height - m.top() - m.bottom() < 72)
        m.setTop(0), m.setBottom(0);
    QPageLayout layout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, m, QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    layout.setMargins(m);
    return layout;
}

int paint(RtfReader::Document &document, QPagedPaintDevice *device)
{
    const QPageLayout layout = device->pageLayout();
    const int dpi = device->logicalDpiY();
    const qreal toPixels = dpi / 72.0;
    const QMarginsF margins = layout.margins(QPageLayout::Point);
    const QRectF body = QRectF(layout.fullRectPixels(dpi)).marginsRemoved(margins * toPixels);
    // On a full page the painter starts at the paper's corner, else at the margins'.
    const QPointF origin = layout.mode() == QPageLayout::FullPageMode ? body.topLeft() : QPointF();

    QTextDocument *text = document.body.get();
    prepare(text, device, body.size());
    layOutWhole(text);
    const TableBorders::Outlines borders(text, device, body.height());
    std::optional<PageBlocks> paragraphs;
    if (document.paragraphsOnly)
        paragraphs.emplace(text, body.height(), borders.repeatedRows());
    const QSizeF sideSize(body.width(), -1);
    for (QTextDocument *side : {document.header.get(), document.footer.get(), document.firstHeader.get(),
                                document.firstFooter.get(), document.leftHeader.get(), document.leftFooter.get()})
        if (side)
            prepare(side, device, sideSize);

    const int pages = std::max(1, text->pageCount());
    QPainter painter(device);
    painter.translate(origin);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        // Header and footer sit in the margins, where the document puts them.
        std::unique_ptr<QTextDocument> header, footer;
        const bool first = page == 0 && document.titlePage;
        const bool left = !first && document.facingPages && page % 2 == 1; // an even page
        QTextDocument *top = (first ? document.firstHeader : left ? document.leftHeader : document.header).get();
        QTextDocument *foot = (first ? document.firstFooter : left ? document.leftFooter : document.footer).get();
        if (hasPageNumber(top)) {
            header = numbered(top, page + 1);
            top = header.get();
            prepare(top, device, sideSize);
        }
        if (hasPageNumber(foot)) {
            footer = numbered(foot, page + 1);
            foot = footer.get();
            prepare(foot, device, sideSize);
        }
        if (top)
            drawAt(painter, top, (document.page.headerFromTop - margins.top()) * toPixels);
        if (foot) {
            const qreal bottom = body.height() + (margins.bottom() - document.page.footerFromBottom) * toPixels;
            drawAt(painter, foot, bottom - foot->size().height());
        }
        painter.save();
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(QRectF(QPointF(0, 0), body.size()));
        painter.translate(0, -view.top());
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        // A paragraph that starts the next page touches this one's bottom
        // edge, and Qt draws what touches the clip (unseen, but its text is
        // in the page's PDF): the clip ends a little above the edge.
        context.clip = view.adjusted(0, 0, 0, -1.0 / 128);
        if (paragraphs) {
            painter.setPen(Qt::black); // text without a colour of its own
            paragraphs->draw(painter, context.clip);
        } else {
            text->documentLayout()->draw(&painter, context);
        }
        borders.draw(painter, context.clip);
        painter.restore();
    }
    return pages;
}

} // namespace PrintDocument
