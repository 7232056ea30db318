#include "core/render/printdocument.h"
#include "tests/core/render/rtftesthelpers.h"

#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace RtfTest;

// Rich text as LibreOffice Writer saves it (tests/core/render/data/writer-nested.fodt
// saved as writer-nested.rtf): a table nested in a cell, whose own row
// definitions must not change the columns of the row around it, empty
// cells, hidden text, a numbered list, text beyond Windows-1252, and A4
// landscape paper. And (writer-merged.html saved as writer-merged.rtf)
// rows that divide the width differently, and a scaled JPEG picture. And
// (writer-pages.fodt) page numbers in the header and footer, and footnotes;
// (writer-first.fodt) a first page with a header and footer of its own.
// (writer-borders.fodt) bordered tables, one nested, one over two pages;
// Writer saves a cell too many in the row around the nested table, and
// reads it back so, the last row spanning all three columns.
// (writer-letterhead.fodt) a letterhead and a footer that are tables, the
// footer's with the page number.
// (writer-pagesides.docx) a first page's header and footer and numbered
// and bulleted lists, whose labels Writer gives (\listtext) and which we
// make from its list table when they are taken out. And by hand
// (hand-pagesides.rtf): left, right and first pages' headers and footers,
// lists left to the reader and a table whose header row repeats.
class TestRtfWriterFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nestedTable();
    void textAndLists();
    void printed();
    void cellsFollowTheirEdges();
    void pageNumbersAndFootnotes();
    void firstPageHeader();
    void cellTooManyAsWriterReadsIt();
    void letterheadAndFooterTables();
    void listLabels_data();
    void listLabels();
    void pagesOfTheirOwn();

private:
    // The paper size, then the text of each printed page, as laid out on
    // it or (`layout` false) in the order it was drawn.
    static QStringList printedPages(RtfReader::Document &doc, bool layout = true);
};

namespace {
RtfReader::Document readFixture(const char *name) { return RtfReader::readDocument(fixture(name)); }

QList<qreal> widths(QTextTable *table)
{
    QList<qreal> result;
    for (const QTextLength &width : table->format().columnWidthConstraints())
        result << width.rawValue();
    return result;
}
} // namespace

void TestRtfWriterFiles::nestedTable()
{
    const RtfReader::Document doc = readFixture("writer-nested.rtf");
    const QList<QTextTable *> tables = tablesIn(doc.body->rootFrame());
    QCOMPARE(tables.size(), 1);
    QTextTable *outer = tables[0];
    QCOMPARE(outer->rows(), 2);
    QCOMPARE(outer->columns(), 2);
    QCOMPARE(widths(outer), (QList<qreal>{384, 192})); // four inches and two
    QVERIFY(cellText(outer, 0, 0).startsWith(QStringLiteral("Outer A")));
    QCOMPARE(cellText(outer, 1, 0), QString());
    QCOMPARE(cellText(outer, 1, 1), QStringLiteral("Outer D"));

    const QList<QTextTable *> nested = tablesIn(outer);
    QCOMPARE(nested.size(), 1);
    QTextTable *inner = nested[0];
    QVERIFY(inner->firstPosition() > outer->cellAt(0, 0).firstPosition());
    QVERIFY(inner->lastPosition() < outer->cellAt(0, 0).lastPosition());
    QCOMPARE(widths(inner), (QList<qreal>{144, 144}));
    QCOMPARE(cellText(inner, 0, 0), QStringLiteral("In1"));
    QCOMPARE(cellText(inner, 0, 1), QStringLiteral("In2"));
    QCOMPARE(cellText(inner, 1, 0), QString());
    QCOMPARE(cellText(inner, 1, 1), QStringLiteral("In4"));
}

void TestRtfWriterFiles::textAndLists()
{
    const RtfReader::Document doc = readFixture("writer-nested.rtf");
    QTextDocument *body = doc.body.get();
    const QString text = body->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("After the tables. Shown text, H2O.")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("secret")));
    QTextCursor two = body->find(QStringLiteral("H2O"));
    two.setPosition(two.selectionStart() + 2);
    QCOMPARE(two.charFormat().verticalAlignment(), QTextCharFormat::AlignSubScript);

    QVERIFY(text.contains(QStringLiteral("1.\tFirst point\n 2.\tSecond point")));
    const QTextBlockFormat item = blockWith(body, QStringLiteral("Second point")).blockFormat();
    QCOMPARE(item.leftMargin(), 48.0); // half an inch, the label hanging a quarter inch
    QCOMPARE(item.textIndent(), -24.0);
    QVERIFY(text.contains(QString::fromUtf8("Japanese 日本語の文章, Chinese 中文文本, Thai ภาษาไทย, "
                                            "Hebrew עברית, Euro €.")));
    QCOMPARE(qRound(doc.page.paper.width()), 842);
    QCOMPARE(qRound(doc.page.paper.height()), 595);
    QVERIFY(doc.page.landscape);
    QCOMPARE(doc.page.margins, QMarginsF(72, 72, 72, 72));
}

void TestRtfWriterFiles::cellTooManyAsWriterReadsIt()
{
    const RtfReader::Document doc = readFixture("writer-borders.rtf");
    const QList<QTextTable *> tables = tablesIn(doc.body->rootFrame());
    QCOMPARE(tables.size(), 2);
    QTextTable *outer = tables[0];
    QCOMPARE(outer->rows(), 2);
    QCOMPARE(outer->columns(), 3);
    QVERIFY(cellText(outer, 0, 0).endsWith(QStringLiteral("Under the inner table")));
    QCOMPARE(cellText(outer, 0, 1), QStringLiteral("Outer B"));
    QCOMPARE(cellText(outer, 1, 0), QStringLiteral("Across both"));
    QCOMPARE(outer->cellAt(1, 0).columnSpan(), 3);
    QCOMPARE(tablesIn(outer).size(), 1);
    QCOMPARE(tables[1]->rows(), 70);
}

void TestRtfWriterFiles::letterheadAndFooterTables()
{
    RtfReader::Document doc = readFixture("writer-letterhead.rtf");
    QVERIFY(doc.header && doc.footer);
    const QList<QTextTable *> head = tablesIn(doc.header->rootFrame());
    QCOMPARE(head.size(), 1);
    QCOMPARE(widths(head[0]), (QList<qreal>{192, 384})); // two inches and four
    QCOMPARE(cellText(head[0], 0, 0), QStringLiteral("Quill & Sons"));
    QCOMPARE(cellText(head[0], 0, 1), QStringLiteral("12 Quill Lane\u2029Lisbon"));
    QCOMPARE(tablesIn(doc.footer->rootFrame()).size(), 1);
    QCOMPARE(tablesIn(doc.body->rootFrame()).size(), 0);

    // Side by side on every page, the page number in the footer's cell.
    const QStringList pages = printedPages(doc);
    QCOMPARE(pages.size(), 3); // the paper size, two pages
    for (int page = 1; page <= 2; ++page) {
        const QString text = pages[page];
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Quill & Sons +12 Quill Lane"))), qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Registered in Lisbon +Page %1").arg(page))),
                 qPrintable(text));
    }
}

QStringList TestRtfWriterFiles::printedPages(RtfReader::Document &doc, bool layout)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    {
        QPdfWriter writer(path);
        writer.setPageLayout(PrintDocument::pageLayout(doc.page, QPageSize(QPageSize::Letter)));
        PrintDocument::paint(doc, &writer);
    }
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    info.waitForFinished(60000);
    const QString size = QString::fromUtf8(info.readAllStandardOutput());
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {layout ? QStringLiteral("-layout") : QStringLiteral("-raw"), path,
                                             QStringLiteral("-")});
    text.waitForFinished(60000);
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast(); // after the last page's form feed
    const QRegularExpression sizeLine(QStringLiteral("Page size:\\s+(\\S+) x (\\S+) pts"));
    const QRegularExpressionMatch match = sizeLine.match(size);
    pages.prepend(match.hasMatch() ? match.captured(1) + QLatin1Char('x') + match.captured(2) : size);
    return pages;
}

void TestRtfWriterFiles::printed()
{
    RtfReader::Document doc = readFixture("writer-nested.rtf");
    const QStringList pages = printedPages(doc);
    QCOMPARE(pages.size(), 2); // the paper and one page
    QCOMPARE(pages[0], QStringLiteral("842x595"));
    const QString printed = pages[1];
    // The nested table's cells side by side, beside the outer table's second column.
    QVERIFY2(printed.contains(QRegularExpression(QStringLiteral("In1 +In2"))), qPrintable(printed));
    QVERIFY(printed.contains(QStringLiteral("Outer D")));
    QVERIFY(printed.contains(QStringLiteral("Euro €")));
    QVERIFY(!printed.contains(QStringLiteral("secret")));
}

void TestRtfWriterFiles::cellsFollowTheirEdges()
{
    const RtfReader::Document doc = readFixture("writer-merged.rtf");
    QTextTable *table = tablesIn(doc.body->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->rows(), 4);
    QCOMPARE(table->columns(), 3);
    // The heading row has two right edges, the others three.
    QCOMPARE(table->cellAt(0, 0).columnSpan(), 2);
    QCOMPARE(cellText(table, 0, 0), QStringLiteral("Wide heading"));
    QCOMPARE(cellText(table, 0, 2), QStringLiteral("Third"));
    QCOMPARE(table->cellAt(1, 0).rowSpan(), 2);
    QCOMPARE(cellText(table, 1, 0), QStringLiteral("Tall"));
    QCOMPARE(cellText(table, 2, 1), QStringLiteral("b3"));
    QCOMPARE(cellText(table, 2, 2), QStringLiteral("c3"));
    QCOMPARE(cellText(table, 3, 0), QString());
    QCOMPARE(cellText(table, 3, 2), QStringLiteral("last"));
    const QList<qreal> columns = widths(table);
    QCOMPARE(columns.size(), 3);
    qreal total = 0;
    for (const qreal width : columns)
        total += width;
    QVERIFY2(qAbs(total - 600) < 3, qPrintable(QString::number(total))); // the table's 600 pixels

    // 40 by 20 pixels, drawn three times as large; its metafile copy left out.
    QCOMPARE(doc.body->toPlainText().count(QChar::ObjectReplacementCharacter), 1);
    const QTextImageFormat image = doc.body->find(QString(QChar::ObjectReplacementCharacter)).charFormat().toImageFormat();
    QCOMPARE(qRound(image.width()), 120);
    QCOMPARE(qRound(image.height()), 60);
    QCOMPARE(doc.body->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>().size(), QSize(40, 20));
}

void TestRtfWriterFiles::pageNumbersAndFootnotes()
{
    RtfReader::Document doc = readFixture("writer-pages.rtf");
    QVERIFY(doc.header && doc.footer);
    const QString text = doc.body->toPlainText();
    QVERIFY2(text.endsWith(QStringLiteral("1\tFirst note.\n2\tSecond note.")), qPrintable(text));
    const QStringList pages = printedPages(doc);
    QCOMPARE(pages.size(), 3);
    QCOMPARE(pages[0], QStringLiteral("612x792"));
    for (int page = 1; page <= 2; ++page) {
        const QStringList lines = pages[page].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(lines.size() >= 3, qPrintable(pages[page]));
        QCOMPARE(lines.first().trimmed(), QStringLiteral("Page %1 of &Name&").arg(page));
        QCOMPARE(lines.last().trimmed(), QStringLiteral("Footer %1").arg(page));
    }
    QVERIFY(pages[1].contains(QStringLiteral("One1")));
    QVERIFY2(!pages[1].contains(QStringLiteral("Two")), qPrintable(pages[1])); // not even clipped away
    QVERIFY(pages[2].contains(QStringLiteral("Two2")));
    QVERIFY(pages[2].contains(QStringLiteral("Second note.")));
}

void TestRtfWriterFiles::firstPageHeader()
{
    RtfReader::Document doc = readFixture("writer-first.rtf");
    QVERIFY(doc.titlePage);
    QVERIFY(doc.firstHeader && doc.firstFooter && doc.header && doc.footer);
    QCOMPARE(doc.firstHeader->toPlainText(), QStringLiteral("Letterhead"));
    // Header and footer are drawn before the body.
    const QStringList pages = printedPages(doc, false);
    QCOMPARE(pages.size(), 3);
    QVERIFY2(pages[1].startsWith(QStringLiteral("Letterhead\nFirst footer\nOne")), qPrintable(pages[1]));
    QVERIFY2(pages[2].startsWith(QStringLiteral("Page 2 of &Name&\nFooter 2\nTwo")), qPrintable(pages[2]));
}

void TestRtfWriterFiles::listLabels_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("labelled");
    const QByteArray writer = fixture("writer-pagesides.rtf");
    const QStringList writerLabels{QStringLiteral("1.\tApple"), QStringLiteral("2.\tBanana"),
                                   QStringLiteral("a)\tInner one"), QStringLiteral("b)\tInner two"),
                                   QStringLiteral("3.\tCherry"), QStringLiteral("\u2022\tDot one"),
                                   QStringLiteral("\u2022\tDot two")};
    QTest::newRow("Writer's labels") << writer << writerLabels;
    QTest::newRow("Writer's labels left out")
        << QByteArray(writer).replace(QByteArrayLiteral("{\\listtext\\pard\\plain "), "{\\*\\ignored ") << writerLabels;
    QTest::newRow("by hand")
        << fixture("hand-pagesides.rtf")
        << QStringList{QStringLiteral("1.\tApple"), QStringLiteral("2.\tBanana"), QStringLiteral("2.a)\tInner one"),
                       QStringLiteral("2.b)\tInner two"), QStringLiteral("3.\tCherry"),
                       QStringLiteral("3.a)\tInner again"), QStringLiteral("\u2022\tDot one"),
                       QStringLiteral("iv.\tRoman four"), QStringLiteral("9.\tGiven label"),
                       QStringLiteral("1.\tOld one"), QStringLiteral("2.\tOld two"), QStringLiteral("\u2022\tOld bullet")};
}

void TestRtfWriterFiles::listLabels()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, labelled);
    const QStringList paragraphs = RtfReader::readDocument(rtf).body->toPlainText().split(QLatin1Char('\n'));
    for (const QString &paragraph : labelled) // each once, maybe after a blank, never labelled twice
        QVERIFY2(paragraphs.contains(paragraph) != paragraphs.contains(QLatin1Char(' ') + paragraph),
                 qPrintable(paragraph + QStringLiteral(" in:\n") + paragraphs.join(QLatin1Char('\n'))));
}

void TestRtfWriterFiles::pagesOfTheirOwn()
{
    RtfReader::Document writer = readFixture("writer-pagesides.rtf");
    QStringList pages = printedPages(writer, false);
    QVERIFY2(pages.size() >= 3, qPrintable(pages.join(QLatin1Char('|'))));
    QVERIFY2(pages[1].startsWith(QStringLiteral("First header\nFirst footer\nLists")), qPrintable(pages[1]));
    QVERIFY2(pages[2].startsWith(QStringLiteral("Odd header 2\nOdd footer")), qPrintable(pages[2]));

    // The first page its own, then left and right pages; the table's header
    // row on top of each page it is on, and never in the middle.
    RtfReader::Document hand = readFixture("hand-pagesides.rtf");
    QVERIFY(hand.facingPages && hand.titlePage);
    pages = printedPages(hand, false);
    const QStringList laidOut = printedPages(hand);
    QVERIFY2(pages.size() >= 5, qPrintable(pages.join(QLatin1Char('|'))));
    QVERIFY2(pages[1].startsWith(QStringLiteral("First header\nNumbered")), qPrintable(pages[1]));
    for (int page = 2; page < pages.size(); ++page) {
        const QString side = page % 2 == 0 ? QStringLiteral("Even") : QStringLiteral("Odd");
        QVERIFY2(pages[page].startsWith(QStringLiteral("%1 header %2\n%1 footer\n").arg(side).arg(page)),
                 qPrintable(pages[page]));
        QCOMPARE(pages[page].count(QStringLiteral("Name head Value head")), 1);
        const qsizetype firstRow = laidOut[page].indexOf(QStringLiteral("Row "));
        QVERIFY2(firstRow > laidOut[page].indexOf(QStringLiteral("Name head")), qPrintable(laidOut[page]));
    }
    QVERIFY(pages.last().contains(QStringLiteral("Row 80 Value 80\nAfter the table")));
}

QTEST_MAIN(TestRtfWriterFiles)
#include "tst_rtfwriterfiles.moc"
