#include "core/fill/odssheet.h"
#include "core/fill/xlsxsheet.h"
#include "core/fill/tagscan.h"
#include "core/fill/sheetgrid.h"
#include "core/fill/sheetfill.h"

#include <QtTest>

// The pieces of the native engine that texts pass through: the tag scanner,
// and the way a value is written into a cell and read back.
class TestXmlScan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tagsAndAttributes();
    void skipsNestedElements();
    void unescapes_data();
    void unescapes();
    void valuesReadBackAsWritten_data();
    void valuesReadBackAsWritten();
    void rowLeftOpenIsRefused();
    void unfitCharactersAreRefused();
    void damagedSplicesAreRefused_data();
    void damagedSplicesAreRefused();
};

void TestXmlScan::tagsAndAttributes()
{
    const QString xml = QStringLiteral("<?xml version=\"1.0\"?><!-- <c r=\"Z9\"/> --><x:row r=\"3\" spans=\"a>b\">"
                                       "<x:c r=\"B3\" t='s'/></x:row>");
    Native::TagScanner scanner(xml);
    Native::Tag tag;
    QVERIFY(scanner.next(tag));
    QCOMPARE(tag.name.toString(), QStringLiteral("x:row"));
    QCOMPARE(tag.localName().toString(), QStringLiteral("row"));
    QCOMPARE(tag.prefix().toString(), QStringLiteral("x:"));
    QCOMPARE(tag.attribute(QLatin1StringView("spans")), QStringLiteral("a>b"));
    QCOMPARE(tag.attribute(QLatin1StringView("r")), QStringLiteral("3"));
    QVERIFY(tag.attribute(QLatin1StringView("s")).isNull());
    QVERIFY(scanner.next(tag));
    QVERIFY(tag.empty && !tag.closing);
    QCOMPARE(tag.attribute(QLatin1StringView("t")), QStringLiteral("s"));
    QCOMPARE(xml.mid(tag.start, tag.end - tag.start), QStringLiteral("<x:c r=\"B3\" t='s'/>"));
    QVERIFY(scanner.next(tag));
    QVERIFY(tag.closing);
    QVERIFY(!scanner.next(tag));
    QVERIFY(!scanner.failed());

    Native::TagScanner broken(QStringLiteral("<row r=\"1"));
    QVERIFY(!broken.next(tag));
    QVERIFY(broken.failed());
}

void TestXmlScan::skipsNestedElements()
{
    const QString xml = QStringLiteral("<c><is><t>a</t><rPh><t>b</t></rPh></is></c><after/>");
    Native::TagScanner scanner(xml);
    Native::Tag tag;
    QVERIFY(scanner.next(tag));
    QVERIFY(scanner.skipElement(tag));
    QVERIFY(scanner.next(tag));
    QCOMPARE(tag.name.toString(), QStringLiteral("after"));
}

void TestXmlScan::unescapes_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("text");
    QTest::newRow("named") << QStringLiteral("&amp;Name&amp; &lt;&gt;&quot;&apos;") << QStringLiteral("&Name& <>\"'");
    QTest::newRow("numeric") << QStringLiteral("&#65;&#x42;&#x1F600;") << QStringLiteral("AB\U0001F600");
    QTest::newRow("plain") << QStringLiteral("no entities") << QStringLiteral("no entities");
}

void TestXmlScan::unescapes()
{
    QFETCH(QString, xml);
    QFETCH(QString, text);
    QCOMPARE(Native::unescapeXml(xml), text);
}

void TestXmlScan::valuesReadBackAsWritten_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack"); // empty: the value
    QTest::newRow("markup") << QStringLiteral("Ann <&> \"Lee\"") << QString();
    QTest::newRow("blanks") << QStringLiteral("  two  blanks, a\ttab ") << QString();
    QTest::newRow("lines") << QStringLiteral("line one\nline two") << QString();
    // .xlsx keeps them as escapes; an .ods cell cannot hold them.
    QTest::newRow("unfit for XML") << QStringLiteral("a\x02" "b") + QChar(0xFFFF) << QStringLiteral("ab");
    QTest::newRow("escape-like") << QStringLiteral("_x0041_ stays") << QString();
    QTest::newRow("one blank") << QStringLiteral(" ") << QString();
}

void TestXmlScan::valuesReadBackAsWritten()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    if (readBack.isEmpty())
        readBack = value;
    // An .xlsx sheet.
    const QByteArray sheet = "<worksheet><dimension ref=\"A1\"/><sheetData><row r=\"1\"><c r=\"A1\" s=\"2\" t=\"inlineStr\">"
                             "<is><t>&amp;Name&amp;</t></is></c></row></sheetData></worksheet>";
    const auto xlsx = Xlsx::Sheet::read(sheet, {}).value();
    QVERIFY(xlsx->setCellText(1, 1, value).ok());
    QVERIFY(xlsx->setCellText(2, 1, QStringLiteral("&Name&")).ok());
    const auto xlsxAgain = Xlsx::Sheet::read(xlsx->rewritten().value(), {}).value();
    QCOMPARE(xlsxAgain->textOf(*xlsxAgain->cellAt(1, 1)), value);
    QCOMPARE(xlsxAgain->cellAt(2, 1)->style, QStringLiteral("2"));
    QVERIFY(xlsx->rewritten().value().contains("<dimension ref=\"A1:A2\"/>"));

    // An .ods table, whose paragraphs collapse blanks unless told not to.
    const QByteArray content =
        "<office:document-content><office:body><office:spreadsheet><table:table table:name=\"S\">"
        "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell table:number-columns-repeated=\"2\"/>"
        "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
    const auto ods = Ods::Sheet::read(content, 1).value();
    QVERIFY(ods->setCellText(2, 2, value).ok());
    const auto odsAgain = Ods::Sheet::read(ods->rewritten().value(), 1).value();
    QCOMPARE(odsAgain->textOf(*odsAgain->cellAt(2, 2)), readBack);
    // The repeated row and cell were split around the written one.
    QCOMPARE(odsAgain->rows.size(), 3);
    QCOMPARE(odsAgain->rowAt(2)->cells.size(), 2);
    QCOMPARE(odsAgain->rowAt(3)->count, 1);
}

// A value XML cannot hold would leave a sheet the offices cannot read: it
// is refused, naming the field, and nothing is written. Line breaks go in
// as LF.
void TestXmlScan::unfitCharactersAreRefused()
{
    const QByteArray content =
        "<office:document-content><office:body><office:spreadsheet><table:table table:name=\"S\"><table:table-row>"
        "<table:table-cell office:value-type=\"string\"><text:p>&amp;Name&amp;</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"string\"><text:p>&amp;City&amp;</text:p></table:table-cell>"
        "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
    const auto read = Ods::Sheet::read(content, 1);
    QVERIFY2(read, qPrintable(read.error()));
    Ods::Sheet &ods = **read;
    const QStringList fields{QStringLiteral("Name"), QStringLiteral("City")};
    QStringList values{QStringLiteral("Ann"), QStringLiteral("Rome") + QChar(0xFFFF)};
    const auto value = [&values](int j) { return values.value(j - 1); };
    const Status filled = SheetFill::fillRow(ods, 1, fields, value);
    QVERIFY(!filled.ok());
    QCOMPARE(filled.error(),
             QStringLiteral("The value of the field City holds a character that workbooks cannot hold (U+FFFF)"));
    QCOMPARE(ods.cellText(1, 2).value(), QStringLiteral("&City&"));
    values[1] = QStringLiteral("12 Main St\r\nSpringfield\rUSA");
    QVERIFY(SheetFill::fillRow(ods, 1, fields, value).ok());
    QCOMPARE(ods.cellText(1, 2).value(), QStringLiteral("12 Main St\nSpringfield\nUSA"));
    QVERIFY(ods.rewritten().value().contains("<text:p>12 Main St</text:p><text:p>Springfield</text:p><text:p>USA</text:p>"));
}

// Found by fuzzing: a row still open when its table ends had no end to
// splice up to, and saving copied the rest of the part into the middle.
void TestXmlScan::rowLeftOpenIsRefused()
{
    const QByteArray content =
        "<office:document-content><office:body><office:spreadsheet><table:table table:name=\"S\">"
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>&amp;Name&amp;</text:p>"
        "</table:table-cell></table:table></office:spreadsheet></office:body></office:document-content>";
    const auto read = Ods::Sheet::read(content, 1);
    QVERIFY(!read.ok());
    QVERIFY(read.error().contains(QStringLiteral("damaged")));
}

void TestXmlScan::damagedSplicesAreRefused_data()
{
    QTest::addColumn<QList<Native::Splice>>("splices");
    QTest::addColumn<QString>("result"); // "" when refused
    QTest::newRow("in order") << QList<Native::Splice>{{1, 2, QStringLiteral("X")}, {3, 3, QStringLiteral("Y")}}
                              << QStringLiteral("aXcYdef");
    QTest::newRow("backward") << QList<Native::Splice>{{4, 0, QStringLiteral("X")}} << QString();
    QTest::newRow("overlapping") << QList<Native::Splice>{{1, 4, QStringLiteral("X")}, {2, 5, QStringLiteral("Y")}}
                                 << QString();
    QTest::newRow("past the end") << QList<Native::Splice>{{5, 9, QStringLiteral("X")}} << QString();
}

void TestXmlScan::damagedSplicesAreRefused()
{
    QFETCH(QList<Native::Splice>, splices);
    QFETCH(QString, result);
    const Result<QString> out = Native::applySplices(QStringLiteral("abcdef"), splices);
    QCOMPARE(out.ok() ? *out : QString(), result);
}

QTEST_GUILESS_MAIN(TestXmlScan)
#include "tst_tagscan.moc"
