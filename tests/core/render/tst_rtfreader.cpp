#include "tests/core/render/rtftesthelpers.h"
#include "tests/support/testhome.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace RtfTest;

class TestRtfReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainTextIsShownAsIs();
    void sampleDocumentReadsClean();
    void characterFormatting();
    void paragraphFormatting();
    void characters_data();
    void characters();
    void breaks();
    void skippedDestinations();
    void tables();
    void pictures_data();
    void pictures();
    void headerFooterAndFootnotes();
    void brokenInputNeverFails_data();
    void brokenInputNeverFails();
};

void TestRtfReader::plainTextIsShownAsIs()
{
    const auto doc = read("Dear {Ann} \\par");
    QCOMPARE(doc->toPlainText(), QStringLiteral("Dear {Ann} \\par"));
}

void TestRtfReader::sampleDocumentReadsClean()
{
    const auto doc = read(readFile(TestHome::dataPath(QStringLiteral("Sample Doc.rtf"))));
    const QString text = doc->toPlainText();
    QVERIFY(text.contains(QStringLiteral("Dear &First Name&,")));
    QVERIFY(!text.contains(QLatin1Char('\\')));
    QVERIFY(!text.contains(QLatin1Char('{')));
    QVERIFY(!text.contains(QStringLiteral("Times New Roman")));
    QCOMPARE(blockWith(doc.get(), QStringLiteral("&Date&")).blockFormat().alignment(), Qt::AlignRight);
    const QTextCharFormat heading = formatOf(doc.get(), QStringLiteral("Welcome"));
    QCOMPARE(heading.fontWeight(), int(QFont::Bold));
    QCOMPARE(heading.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    QCOMPARE(heading.foreground().color(), QColor(0, 0, 128));
    QCOMPARE(heading.fontPointSize(), 14.0);
    QCOMPARE(formatOf(doc.get(), QStringLiteral("Dear")).fontWeight(), int(QFont::Normal));
    QVERIFY(formatOf(doc.get(), QStringLiteral("The Quillmate")).fontItalic());
}

void TestRtfReader::characterFormatting()
{
    const auto doc = read("{\\rtf1{\\fonttbl{\\f0 Times;}{\\f1\\fswiss Courier New;}}"
                          "plain {\\b bold {\\i both}} \\ul under\\ulnone  \\strike gone\\strike0 \\fs40 big "
                          "\\f1 mono\\plain  reset \\super up\\nosupersub}");
    QCOMPARE(formatOf(doc.get(), QStringLiteral("plain")).fontWeight(), int(QFont::Normal));
    QCOMPARE(formatOf(doc.get(), QStringLiteral("bold")).fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(doc.get(), QStringLiteral("both")).fontItalic());
    QVERIFY(!formatOf(doc.get(), QStringLiteral("under")).fontItalic()); // groups end their formatting
    QVERIFY(formatOf(doc.get(), QStringLiteral("under")).fontUnderline());
    QVERIFY(formatOf(doc.get(), QStringLiteral("gone")).fontStrikeOut());
    QCOMPARE(formatOf(doc.get(), QStringLiteral("big")).fontPointSize(), 20.0);
    QCOMPARE(formatOf(doc.get(), QStringLiteral("mono")).fontFamilies().toStringList(),
             QStringList{QStringLiteral("Courier New")});
    QCOMPARE(formatOf(doc.get(), QStringLiteral("reset")).fontPointSize(), 12.0);
    QCOMPARE(formatOf(doc.get(), QStringLiteral("up")).verticalAlignment(), QTextCharFormat::AlignSuperScript);
}

void TestRtfReader::paragraphFormatting()
{
    const auto doc = read("{\\rtf1\\pard\\qc centred\\par\\pard\\li1440\\fi-720\\ri720\\sb240 indented\\par"
                          "\\pard\\qj just\\par}");
    QCOMPARE(blockWith(doc.get(), QStringLiteral("centred")).blockFormat().alignment(), Qt::AlignHCenter);
    const QTextBlockFormat indented = blockWith(doc.get(), QStringLiteral("indented")).blockFormat();
    QCOMPARE(indented.leftMargin(), 96.0);
    QCOMPARE(indented.textIndent(), -48.0);
    QCOMPARE(indented.rightMargin(), 48.0);
    QCOMPARE(indented.topMargin(), 16.0);
    QCOMPARE(indented.alignment(), Qt::AlignLeft);
    QCOMPARE(blockWith(doc.get(), QStringLiteral("just")).blockFormat().alignment(), Qt::AlignJustify);
}

void TestRtfReader::characters_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("hex in code page") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}") << QString::fromUtf8("café €");
    QTest::newRow("unicode with fallback") << QByteArray("{\\rtf1 a\\u8364?b}") << QString::fromUtf8("a€b");
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-255?}") << QString(QChar(0xFF01));
    QTest::newRow("fallback as hex") << QByteArray("{\\rtf1 \\u233\\'e9x}") << QString::fromUtf8("éx");
    QTest::newRow("two fallback chars") << QByteArray("{\\rtf1\\uc2 \\u8364EUx}") << QString::fromUtf8("€x");
    QTest::newRow("no fallback") << QByteArray("{\\rtf1\\uc0 \\u8364 x}") << QString::fromUtf8("€x");
    QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 \\{a\\}\\\\b}") << QStringLiteral("{a}\\b");
    QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << QStringLiteral("a\tb");
    QTest::newRow("quotes and dashes") << QByteArray("{\\rtf1 \\ldblquote x\\rdblquote\\emdash y}")
                                       << QString::fromUtf8("“x”—y");
    QTest::newRow("unknown words") << QByteArray("{\\rtf1\\foo12 a\\bar-3 b\\zz}") << QStringLiteral("ab");
    QTest::newRow("raw line ends ignored") << QByteArray("{\\rtf1 a\r\nb}") << QStringLiteral("ab");
}

void TestRtfReader::characters()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(read(rtf)->toPlainText(), text);
}

void TestRtfReader::breaks()
{
    const auto doc = read("{\\rtf1 one\\line two\\par three\\page four}");
    QCOMPARE(doc->blockCount(), 3);
    QCOMPARE(doc->firstBlock().text(), QString(QStringLiteral("one") + QChar(0x2028) + QStringLiteral("two")));
    const QTextBlock four = blockWith(doc.get(), QStringLiteral("four"));
    QCOMPARE(four.text(), QStringLiteral("four"));
    QCOMPARE(four.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    QCOMPARE(blockWith(doc.get(), QStringLiteral("three")).blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
}

void TestRtfReader::skippedDestinations()
{
    const auto doc = read("{\\rtf1{\\info{\\title Secret}{\\author Me}}{\\stylesheet{\\s0 Normal;}}"
                          "{\\*\\generator Writer;}{\\*\\unknowndest hidden}{\\header head}"
                          "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}} body}");
    QCOMPARE(doc->toPlainText(), QStringLiteral("shown body"));
}

void TestRtfReader::tables()
{
    const auto doc = read("{\\rtf1 Before\\par"
                          "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A1\\cell B1\\cell\\row"
                          "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A2\\cell {\\b B2}\\cell\\row"
                          "\\pard After\\par}");
    QTextTable *table = nullptr;
    for (QTextFrame *frame : doc->rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable *>(frame)))
            break;
    QVERIFY(table);
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 2);
    auto cellText = [table](int r, int c) {
        QTextCursor cur = table->cellAt(r, c).firstCursorPosition();
        cur.setPosition(table->cellAt(r, c).lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return cur.selectedText();
    };
    QCOMPARE(cellText(0, 0), QStringLiteral("A1"));
    QCOMPARE(cellText(0, 1), QStringLiteral("B1"));
    QCOMPARE(cellText(1, 0), QStringLiteral("A2"));
    QCOMPARE(cellText(1, 1), QStringLiteral("B2"));
    QCOMPARE(formatOf(doc.get(), QStringLiteral("B2")).fontWeight(), int(QFont::Bold));
    QVERIFY(doc->find(QStringLiteral("After")).position() > table->lastPosition());
    QVERIFY(doc->find(QStringLiteral("Before")).position() < table->firstPosition());
}

void TestRtfReader::pictures_data()
{
    // A 4 x 2 PNG and a 2 x 2 JPEG, as hex the way word processors write them.
    QImage png(4, 2, QImage::Format_RGB32);
    png.fill(Qt::red);
    QByteArray pngBytes, jpegBytes;
    QBuffer buffer(&pngBytes);
    png.save(&buffer, "PNG");
    QBuffer jpegBuffer(&jpegBytes);
    png.scaled(2, 2).save(&jpegBuffer, "JPEG");
    QTest::addColumn<QByteArray>("pict");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("png at its own size") << "\\pngblip " + pngBytes.toHex() << QSizeF(4, 2) << QSize(4, 2);
    QTest::newRow("png at its goal size") << "\\pngblip\\picwgoal1440\\pichgoal720 " + pngBytes.toHex()
                                          << QSizeF(96, 48) << QSize(4, 2);
    QTest::newRow("jpeg scaled") << "\\jpegblip\\picwgoal300\\pichgoal300\\picscalex200\\picscaley50 " + jpegBytes.toHex()
                                 << QSizeF(40, 10) << QSize(2, 2);
    QTest::newRow("binary png") << "\\pngblip\\bin" + QByteArray::number(pngBytes.size()) + " " + pngBytes
                                << QSizeF(4, 2) << QSize(4, 2);
    QTest::newRow("metafile: a frame") << QByteArray("\\wmetafile8\\picw2540\\pich1270\\picwgoal2880\\pichgoal1440 0100aa")
                                       << QSizeF(192, 96) << QSize(192, 96);
    QTest::newRow("metafile without goal") << QByteArray("\\emfblip\\picw2540\\pich1270 0100aa")
                                           << QSizeF(96, 48) << QSize(96, 48);
}

void TestRtfReader::pictures()
{
    QFETCH(QByteArray, pict);
    QFETCH(QSizeF, size);
    QFETCH(QSize, pixels);
    const auto doc = read("{\\rtf1 before {\\pict" + pict + "} after}");
    QCOMPARE(doc->toPlainText(), QStringLiteral("before \uFFFC after"));
    const QTextImageFormat image = formatOf(doc.get(), QStringLiteral("\uFFFC")).toImageFormat();
    QCOMPARE(QSizeF(image.width(), image.height()), size);
    QCOMPARE(doc->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>().size(), pixels);
}

void TestRtfReader::headerFooterAndFootnotes()
{
    const RtfReader::Document doc = RtfReader::readDocument(
        "{\\rtf1{\\header\\pard\\qc Head {\\b line}\\par}{\\footer\\pard Foot\\par}{\\headerf First page only}"
        "Text{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} One.}, more{\\super\\chftn}"
        "{\\footnote\\pard{\\super\\chftn} Two.}.\\par}");
    QVERIFY(doc.header && doc.footer);
    QCOMPARE(doc.header->toPlainText(), QStringLiteral("Head line"));
    QCOMPARE(doc.header->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(formatOf(doc.header.get(), QStringLiteral("line")).fontWeight(), int(QFont::Bold));
    QCOMPARE(doc.footer->toPlainText(), QStringLiteral("Foot"));
    const QString text = doc.body->toPlainText();
    QVERIFY2(text.startsWith(QStringLiteral("Text1, more2.\n")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("\n1 One.\n2 Two.")), qPrintable(text));
    QVERIFY(!RtfReader::readDocument("{\\rtf1 no header}").header);
}

void TestRtfReader::brokenInputNeverFails_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("unbalanced open") << QByteArray("{\\rtf1 {\\b a");
    QTest::newRow("unbalanced close") << QByteArray("{\\rtf1 a}}} b}");
    QTest::newRow("cut hex") << QByteArray("{\\rtf1 a\\'");
    QTest::newRow("cut word") << QByteArray("{\\rtf1 a\\");
    QTest::newRow("huge number") << QByteArray("{\\rtf1\\fs99999999999999 a\\u99999999?}");
    QTest::newRow("cell outside table") << QByteArray("{\\rtf1 a\\cell b\\row c}");
    QTest::newRow("deep nesting") << QByteArray(5000, '{') + "x";
}

void TestRtfReader::brokenInputNeverFails()
{
    QFETCH(QByteArray, rtf);
    const auto doc = read(rtf);
    QVERIFY(doc);
    QVERIFY(!doc->toPlainText().contains(QStringLiteral("\\rtf")));
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
