#include "core/render/layoutscale.h"
#include "core/render/printdocument.h"
#include "core/render/tableborders.h"
#include "tests/core/render/rtftesthelpers.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace RtfTest;

// How read documents come out on paper: table borders, which we draw
// ourselves, must sit where Qt would draw them; pages painted paragraph by
// paragraph must look as Qt paints them; indents keep their size on a
// printer's fine pixels.
class TestRtfPrinting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bordersWhereQtDrawsThem_data();
    void bordersWhereQtDrawsThem();
    void paragraphByParagraphAsQtPaints_data();
    void paragraphByParagraphAsQtPaints();
    void indentsKeepTheirSize();

private:
    QString printToPdf(RtfReader::Document &doc, const QString &name);
    QList<QImage> pagesOf(const QString &pdf);
    QTemporaryDir m_dir;
    int m_printed = 0; // names each print apart
};

namespace {
// Tables with cells merged down and across, cells of two lines, a table
// nested in a cell, and enough rows to go on over the next page; their
// borders drawn by Qt, or left to us; `headerRows` repeated on the next page.
std::unique_ptr<QTextDocument> tablesDocument(bool ours, int headerRows)
{
    auto doc = std::make_unique<QTextDocument>();
    auto withBorder = [ours](QTextTableFormat format) {
        format.setCellPadding(3);
        format.setCellSpacing(0);
        format.setBorderCollapse(false);
        if (ours) {
            TableBorders::setBorder(format, 1);
        } else {
            format.setBorder(1);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(Qt::black);
        }
        return format;
    };
    QTextTableFormat outer;
    outer.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 120),
                                     QTextLength(QTextLength::FixedLength, 90),
                                     QTextLength(QTextLength::FixedLength, 200)});
    outer.setHeaderRowCount(headerRows);
    QTextTableFormat inner;
    inner.setColumnWidthConstraints(
        {QTextLength(QTextLength::FixedLength, 80), QTextLength(QTextLength::FixedLength, 80)});
    inner.setLeftMargin(6);

    QTextCursor cursor(doc.get());
    cursor.insertText(QStringLiteral("Above the table"));
    QTextTable *table = cursor.insertTable(24, 3, withBorder(outer));
    for (int r = 0; r < table->rows(); ++r)
        for (int c = 0; c < table->columns(); ++c)
            table->cellAt(r, c).firstCursorPosition().insertText(
                QStringLiteral("r%1 c%2").arg(r).arg(c) + (r % 5 == 3 ? QStringLiteral("\nand more") : QString()));
    table->mergeCells(2, 0, 3, 1);
    table->mergeCells(7, 1, 1, 2);
    QTextCursor nested = table->cellAt(9, 2).lastCursorPosition();
    QTextTable *innerTable = nested.insertTable(2, 2, withBorder(inner));
    innerTable->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("inner"));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("Below the table"));
    return doc;
}

// One page of `doc` as Qt paints it, with our borders drawn over it; text
// is white, so that only borders are dark.
QImage paintPage(QTextDocument *doc, QPaintDevice *device, QSizeF page, int index)
{
    QImage image(page.toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(device->logicalDpiX() * 10000 / 254);
    image.setDotsPerMeterY(device->logicalDpiY() * 10000 / 254);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRectF view(0, index * page.height(), page.width(), page.height());
    painter.translate(0, -view.top());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::white);
    context.clip = view;
    doc->documentLayout()->draw(&painter, context);
    TableBorders::Outlines(doc, device, page.height()).draw(painter, view);
    return image;
}

} // namespace

QString TestRtfPrinting::printToPdf(RtfReader::Document &doc, const QString &name)
{
    const QString path = m_dir.filePath(name + QStringLiteral(".pdf"));
    QPdfWriter writer(path);
    writer.setPageLayout(PrintDocument::pageLayout(doc.page, QPageSize(QPageSize::A4)));
    PrintDocument::paint(doc, &writer);
    return path;
}

QList<QImage> TestRtfPrinting::pagesOf(const QString &pdf)
{
    const QString prefix = pdf + QStringLiteral("-page");
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), pdf, prefix});
    QList<QImage> pages;
    for (const QString &file : QDir(m_dir.path()).entryList({QFileInfo(prefix).fileName() + QStringLiteral("*.png")},
                                                              QDir::Files, QDir::Name))
        pages << QImage(m_dir.filePath(file));
    return pages;
}

void TestRtfPrinting::bordersWhereQtDrawsThem_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("headerRows");
    QTest::newRow("screen") << 96 << 0;
    QTest::newRow("150 dpi: borders of fractions of pixels, rounded") << 150 << 0;
    QTest::newRow("300 dpi") << 300 << 0;
    QTest::newRow("300 dpi, two header rows repeated") << 300 << 2;
}

void TestRtfPrinting::bordersWhereQtDrawsThem()
{
    QFETCH(int, dpi);
    QFETCH(int, headerRows);
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(dpi * 10000 / 254);
    device.setDotsPerMeterY(dpi * 10000 / 254);
    const QSizeF page = (QSizeF(520, 500) * layoutScale(&device)).toSize(); // pages of whole pixels
    QList<QImage> pages[2];
    for (const bool ours : {false, true}) {
        std::unique_ptr<QTextDocument> doc = tablesDocument(ours, headerRows);
        doc->setDocumentMargin(0);
        doc->documentLayout()->setPaintDevice(&device);
        doc->setPageSize(page);
        QCOMPARE(doc->pageCount(), 2);
        for (int index = 0; index < 2; ++index)
            pages[ours] << paintPage(doc.get(), &device, page, index);
    }
    for (int index = 0; index < 2; ++index) {
        const int qts = darkPixels(pages[0][index]);
        const int differ = darkPixels(pages[0][index], &pages[1][index]);
        // Borders on both pages, and ours differ from Qt's by at most a
        // pixel's rounding along their edges.
        QVERIFY2(qts > 2000, qPrintable(QString::number(qts)));
        QVERIFY2(differ < qts / 20, qPrintable(QStringLiteral("page %1: %2 of %3 border pixels differ")
                                                  .arg(index + 1).arg(differ).arg(qts)));
    }
}

void TestRtfPrinting::paragraphByParagraphAsQtPaints_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("bordered tables by LibreOffice, nested and over pages") << fixture("writer-borders.rtf");
    QTest::newRow("letter by LibreOffice: picture, header, footnote") << fixture("writer-letter.rtf");
    QTest::newRow("a header row repeated on each page, lists") << fixture("hand-pagesides.rtf");
    QTest::newRow("highlights, colours, lines, picture, indents, page break")
        << QByteArray("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}"
                      "\\pard Plain {\\highlight2 highlighted} {\\cb2 background} {\\cf1 red} {\\ul under} "
                      "{\\strike struck} H{\\sub 2}O x{\\super 2} {\\scaps Small Caps}\\par"
                      "\\pard\\qc Centred {\\pict\\pngblip\\picwgoal1440\\pichgoal720 "
                      "89504e470d0a1a0a0000000d4948445200000004000000020802000000f0caea340000001049444154789c63f8cfc000"
                      "470cc81c006faa07f980dc00280000000049454e44ae426082"
                      "} picture\\par"
                      "\\trowd\\cellx3000\\cellx6000\\pard\\intbl {\\highlight2 cell}\\cell two\\cell\\row"
                      "\\pard\\li720\\fi-360 an indented paragraph long enough to wrap onto a second line of its "
                      "own so that its hanging indent shows on the page\\par\\page Second page\\par}");
}

void TestRtfPrinting::paragraphByParagraphAsQtPaints()
{
    QFETCH(QByteArray, rtf);
    QList<QImage> printed[2];
    for (const bool byParagraph : {false, true}) {
        RtfReader::Document doc = RtfReader::readDocument(rtf);
        QVERIFY(doc.paragraphsOnly);
        doc.paragraphsOnly = byParagraph;
        printed[byParagraph] = pagesOf(printToPdf(doc, QStringLiteral("print%1").arg(++m_printed)));
    }
    QVERIFY(!printed[0].isEmpty());
    QCOMPARE(printed[1].size(), printed[0].size());
    for (qsizetype page = 0; page < printed[0].size(); ++page) {
        QVERIFY(darkPixels(printed[0][page]) > 100); // something was printed
        QCOMPARE(darkPixels(printed[0][page], &printed[1][page]), 0);
    }
}

void TestRtfPrinting::indentsKeepTheirSize()
{
    // Inch margins on Letter paper; a hanging indent of half an inch from
    // one inch in, a right indent of an inch, and the same in the header,
    // which is laid out again for every page.
    RtfReader::Document doc = RtfReader::readDocument(
        "{\\rtf1\\paperw12240\\paperh15840\\margl1440\\margr1440"
        "{\\header\\pard\\li720 Head {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}"
        "\\pard\\li1440\\fi-720 Hanging words words words words words words words words words words words words "
        "words words words words words words words words\\par"
        "\\pard\\qr\\ri1440 Righted\\par\\page Next\\par}");
    const QString bbox = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), printToPdf(doc, QStringLiteral("indents")),
                                                            QStringLiteral("-")});
    auto edges = [&](const QString &word) {
        QList<QPointF> found; // xMin, xMax in points
        const QRegularExpression re(QStringLiteral("xMin=\"([0-9.]+)\"[^>]*xMax=\"([0-9.]+)\"[^>]*>%1<").arg(word));
        for (auto it = re.globalMatch(bbox); it.hasNext();) {
            const auto m = it.next();
            found << QPointF(m.captured(1).toDouble(), m.captured(2).toDouble());
        }
        return found;
    };
    QCOMPARE(qRound(edges(QStringLiteral("Hanging")).value(0).x()), 72 + 36);
    qreal wrapped = 1000; // the line's first word: the leftmost
    for (const QPointF &word : edges(QStringLiteral("words")))
        wrapped = std::min(wrapped, word.x());
    QCOMPARE(qRound(wrapped), 72 + 72);
    QCOMPARE(qRound(edges(QStringLiteral("Righted")).value(0).y()), 612 - 72 - 72);
    const QList<QPointF> heads = edges(QStringLiteral("Head"));
    QCOMPARE(heads.size(), 2);
    QCOMPARE(qRound(heads[0].x()), 72 + 36);
    QCOMPARE(qRound(heads[1].x()), 72 + 36);
}

QTEST_MAIN(TestRtfPrinting)
#include "tst_rtfprinting.moc"
