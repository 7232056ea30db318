#include "core/render/printdocument.h"
#include "tests/core/render/rtftesthelpers.h"

#include <QProcess>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace RtfTest;

// Pages: size, margins, header and footer, and what a document written by
// LibreOffice Writer (tests/core/render/data/writer-letter.fodt, saved as
// writer-letter.rtf) looks like when read and printed.
class TestRtfPages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pageSetup_data();
    void pageSetup();
    void pageLayoutForPrinting();
    void writerLetter();
    void writerLetterPrints();
    void htmlAndTextFiles();
    void pageNumbersInHeaders();

private:
    // Prints to a PDF file and gives back its text, or of one page of it.
    QString printedText(RtfReader::Document &doc, int page = 0, QString *info = nullptr);
    QTemporaryDir m_dir;
};

QString TestRtfPages::printedText(RtfReader::Document &doc, int page, QString *info)
{
    const QString path = m_dir.filePath(QStringLiteral("out.pdf"));
    {
        QPdfWriter writer(path);
        writer.setPageLayout(PrintDocument::pageLayout(doc.page, QPageSize(QPageSize::A4)));
        PrintDocument::paint(doc, &writer);
    }
    if (info)
        *info = run(QStringLiteral("pdfinfo"), {path});
    QStringList args{QStringLiteral("-layout"), path, QStringLiteral("-")};
    if (page > 0)
        args = QStringList{QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page)} + args;
    return run(QStringLiteral("pdftotext"), args);
}

void TestRtfPages::pageSetup_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QSizeF>("paper");
    QTest::addColumn<QMarginsF>("margins");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("none named") << QByteArray("{\\rtf1 x}") << QSizeF() << QMarginsF(90, 72, 90, 72) << false;
    QTest::newRow("letter") << QByteArray("{\\rtf1\\paperw12240\\paperh15840\\margl1440\\margr720\\margt360\\margb2880 x}")
                            << QSizeF(612, 792) << QMarginsF(72, 18, 36, 144) << false;
    QTest::newRow("A4 landscape") << QByteArray("{\\rtf1\\paperw16838\\paperh11906\\landscape x}")
                                  << QSizeF(841.9, 595.3) << QMarginsF(90, 72, 90, 72) << true;
    QTest::newRow("first section overrides")
        << QByteArray("{\\rtf1\\paperw12240\\paperh15840\\margl1440\\sectd\\pgwsxn11906\\pghsxn16838\\marglsxn720"
                      "\\lndscpsxn a\\sect\\sectd\\marglsxn2880\\pgwsxn20000 b}")
        << QSizeF(595.3, 841.9) << QMarginsF(36, 72, 90, 72) << true;
}

void TestRtfPages::pageSetup()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QSizeF, paper);
    QFETCH(QMarginsF, margins);
    QFETCH(bool, landscape);
    const RtfReader::PageSetup page = RtfReader::readDocument(rtf).page;
    QCOMPARE(page.paper.isValid(), paper.isValid());
    if (paper.isValid()) {
        QCOMPARE(qRound(page.paper.width() * 10), qRound(paper.width() * 10));
        QCOMPARE(qRound(page.paper.height() * 10), qRound(paper.height() * 10));
    }
    QCOMPARE(page.margins, margins);
    QCOMPARE(page.landscape, landscape);
}

void TestRtfPages::pageLayoutForPrinting()
{
    RtfReader::PageSetup page;
    page.paper = QSizeF(841.9, 595.3);
    page.margins = QMarginsF(36, 72, 36, 72);
    QPageLayout layout = PrintDocument::pageLayout(page, QPageSize(QPageSize::Letter));
    QCOMPARE(layout.pageSize().id(), QPageSize::A4);
    QCOMPARE(layout.orientation(), QPageLayout::Landscape);
    QCOMPARE(layout.margins(QPageLayout::Point), page.margins);
    // No paper named: the printer's; margins leaving no room are dropped.
    page.paper = QSizeF();
    page.margins = QMarginsF(400, 72, 400, 72);
    layout = PrintDocument::pageLayout(page, QPageSize(QPageSize::Letter));
    QCOMPARE(layout.pageSize().id(), QPageSize::Letter);
    QCOMPARE(layout.orientation(), QPageLayout::Portrait);
    QCOMPARE(layout.margins(QPageLayout::Point), QMarginsF(0, 72, 0, 72));
}

void TestRtfPages::writerLetter()
{
    const RtfReader::Document doc = RtfReader::readDocument(fixture("writer-letter.rtf"));
    QTextDocument *body = doc.body.get();
    const QString text = body->toPlainText();
    QVERIFY2(text.contains(QString::fromUtf8("Dear &Name&, Zażółć gęślą jaźń. Съешь же ещё. Ελληνικά.")), qPrintable(text));
    QCOMPARE(doc.page.paper, QSizeF(612, 792));
    QCOMPARE(doc.page.margins, QMarginsF(54, 64.4, 90, 64.4)); // the section's, which make room for the header
    QVERIFY(doc.header && doc.footer);
    QCOMPARE(doc.header->toPlainText(), QStringLiteral("Header of &Name&"));
    QCOMPARE(doc.footer->toPlainText(), QStringLiteral("Footer line"));
    QCOMPARE(formatOf(body, QStringLiteral("Small Caps")).fontCapitalization(), QFont::SmallCaps);
    QVERIFY(formatOf(body, QStringLiteral("struck")).fontStrikeOut());
    QCOMPARE(formatOf(body, QStringLiteral("marked")).background().color(), QColor(255, 255, 0));
    QCOMPARE(formatOf(body, QStringLiteral("red")).foreground().color(), QColor(192, 0, 0));
    QCOMPARE(formatOf(body, QStringLiteral("DejaVu")).fontFamilies(), QVariant()); // not text at all
    QCOMPARE(formatOf(body, QStringLiteral("Dear")).fontFamilies().toStringList(), QStringList{QStringLiteral("DejaVu Serif")});
    QVERIFY(text.contains(QStringLiteral(" \u2022\tFirst bullet\n \u2022\tSecond bullet"))); // Writer puts a blank first
    // The footnote's mark in the text, its text at the end.
    QVERIFY(text.contains(QStringLiteral("See the note1.")));
    QVERIFY(text.trimmed().endsWith(QStringLiteral("1\tThe footnote text.")));
    QTextCursor mark = body->find(QStringLiteral("note1"));
    mark.setPosition(mark.selectionEnd());
    QCOMPARE(mark.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);

    QTextTable *table = tablesIn(body->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 3);
    QCOMPARE(cellText(table, 0, 0), QString());
    QCOMPARE(cellText(table, 0, 1), QStringLiteral("B1"));
    QCOMPARE(cellText(table, 2, 0), QStringLiteral("A3"));
    QCOMPARE(cellText(table, 2, 2), QStringLiteral("C3"));
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    QCOMPARE(widths.value(0).rawValue(), 96.0); // one inch
    QCOMPARE(widths.value(1).rawValue(), 192.0);
    QCOMPARE(widths.value(2).rawValue(), 288.0);

    // The picture: one inch by half an inch, as drawn in Writer.
    QTextCursor picture = body->find(QString(QChar::ObjectReplacementCharacter));
    QVERIFY(!picture.isNull());
    const QTextImageFormat image = picture.charFormat().toImageFormat();
    QCOMPARE(image.width(), 96.0);
    QCOMPARE(image.height(), 48.0);
    QCOMPARE(body->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>().size(), QSize(20, 10));

    QCOMPARE(blockWith(body, QStringLiteral("Second page text")).blockFormat().pageBreakPolicy(),
             QTextFormat::PageBreak_AlwaysBefore);
}

void TestRtfPages::writerLetterPrints()
{
    RtfReader::Document doc = RtfReader::readDocument(fixture("writer-letter.rtf"));
    QString info;
    const QString all = printedText(doc, 0, &info);
    QVERIFY2(info.contains(QStringLiteral("612 x 792 pts")), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(info));
    QVERIFY2(all.contains(QString::fromUtf8("Zażółć")), qPrintable(all));
    QVERIFY(all.contains(QStringLiteral("B1")));
    doc = RtfReader::readDocument(fixture("writer-letter.rtf"));
    const QString second = printedText(doc, 2);
    QVERIFY2(second.contains(QStringLiteral("Header of &Name&")), qPrintable(second));
    QVERIFY(second.contains(QStringLiteral("Second page text.")));
    QVERIFY(second.contains(QStringLiteral("Footer line")));
    // The header above the text, the footer below it.
    QVERIFY(second.indexOf(QStringLiteral("Header")) < second.indexOf(QStringLiteral("Second page")));
    QVERIFY(second.indexOf(QStringLiteral("Footer")) > second.indexOf(QStringLiteral("Second page")));
}

void TestRtfPages::htmlAndTextFiles()
{
    const QByteArray html = "<html><head><meta charset=\"windows-1252\"></head><body>"
                            "<p>Dear <b>Ann</b> caf\xe9</p><table><tr><td>A</td><td>B</td></tr></table></body></html>";
    RtfReader::Document doc = PrintDocument::forFile(html, QStringLiteral("Letter.HTM"));
    QVERIFY(!doc.body->toPlainText().contains(QLatin1Char('<')));
    QCOMPARE(formatOf(doc.body.get(), QStringLiteral("Ann")).fontWeight(), int(QFont::Bold));
    QCOMPARE(tablesIn(doc.body->rootFrame()).size(), 1);
    QCOMPARE(doc.page.margins, QMarginsF(90, 72, 90, 72));
    QString printed = printedText(doc);
    QVERIFY2(printed.contains(QString::fromUtf8("Dear Ann café")), qPrintable(printed));
    QVERIFY(!printed.contains(QStringLiteral("<b>")));

    doc = PrintDocument::forFile("Dear <b>Ann</b>\r\nline two", QStringLiteral("Letter.txt"));
    QCOMPARE(doc.body->toPlainText(), QStringLiteral("Dear <b>Ann</b>\nline two"));
    printed = printedText(doc);
    QVERIFY2(printed.contains(QStringLiteral("Dear <b>Ann</b>")), qPrintable(printed));
}

void TestRtfPages::pageNumbersInHeaders()
{
    const QByteArray rtf = "{\\rtf1{\\header\\pard Page {\\field{\\*\\fldinst PAGE \\\\* MERGEFORMAT}{\\fldrslt 1}}\\par}"
                           "{\\footer\\pard Sheet \\chpgn\\par}"
                           "\\pard One {\\field{\\*\\fldinst PAGE}{\\fldrslt 9}}\\page Two\\page Three\\par}";
    RtfReader::Document doc = RtfReader::readDocument(rtf);
    QCOMPARE(doc.body->toPlainText(), QStringLiteral("One 9\nTwo\nThree")); // the body keeps the field's result
    const QString pages = printedText(doc);
    const QStringList sheets = pages.split(QLatin1Char('\f'));
    QVERIFY2(sheets.size() >= 3, qPrintable(pages));
    for (int page = 1; page <= 3; ++page) {
        const QString sheet = sheets[page - 1].simplified();
        QVERIFY2(sheet.startsWith(QStringLiteral("Page %1").arg(page)), qPrintable(sheet));
        QVERIFY2(sheet.endsWith(QStringLiteral("Sheet %1").arg(page)), qPrintable(sheet));
    }
}

QTEST_MAIN(TestRtfPages)
#include "tst_rtfpages.moc"
