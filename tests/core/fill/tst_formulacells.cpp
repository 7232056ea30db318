#include "core/fill/nativeworkbook.h"
#include "core/fill/odssheet.h"
#include "core/fill/xlsxsheet.h"
#include "core/fill/zippackage.h"
#include "tests/core/fill/officefixtures.h"
#include "tests/support/testhome.h"

#include <QtTest>

// A record list below formulas: A1 "Total", A2:A4 formulas, the markers in
// A5:B5. A formula cell counts as used whether or not a result is stored
// with it, and a fill keeps the stored results.
namespace {

QByteArray xlsxText(const QByteArray &ref, const QByteArray &text)
{
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

QByteArray xlsxSheet(bool stored)
{
    QByteArray rows = "<row r=\"1\">" + xlsxText("A1", "Total") + "</row>";
    for (int i = 1; i <= 3; ++i) {
        const QByteArray row = QByteArray::number(i + 1), n = QByteArray::number(i);
        rows += "<row r=\"" + row + "\"><c r=\"A" + row + "\"><f>" + n + "+" + n + "</f>" +
                (stored ? "<v>" + QByteArray::number(2 * i) + "</v>" : QByteArray()) + "</c></row>";
    }
    rows += "<row r=\"5\">" + xlsxText("A5", "&amp;Name&amp;") + xlsxText("B5", "&amp;City&amp;") + "</row>";
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><dimension ref=\"A1:B5\"/>"
           "<sheetData>" + rows + "</sheetData></worksheet>";
}

QByteArray odsContent(bool stored)
{
    QByteArray rows = "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Total</text:p>"
                      "</table:table-cell></table:table-row>";
    for (int i = 1; i <= 3; ++i)
        rows += "<table:table-row><table:table-cell table:formula=\"of:=" + QByteArray::number(i) + "+" +
                QByteArray::number(i) + "\"" +
                (stored ? " office:value-type=\"float\" office:value=\"" + QByteArray::number(2 * i) + "\"><text:p>" +
                              QByteArray::number(2 * i) + "</text:p></table:table-cell>"
                        : QByteArray("/>")) +
                "</table:table-row>";
    rows += "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>&amp;Name&amp;</text:p>"
            "</table:table-cell><table:table-cell office:value-type=\"string\"><text:p>&amp;City&amp;</text:p>"
            "</table:table-cell></table:table-row>";
    return "<office:document-content><office:body><office:spreadsheet><table:table table:name=\"S\">" + rows +
           "</table:table></office:spreadsheet></office:body></office:document-content>";
}

} // namespace

class TestFormulaCells : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formulaCellsCountAsUsed_data();
    void formulaCellsCountAsUsed();
    void threeFillsKeepTheStoredResults();
    void otherSheetThatCannotBeReadIsLeftAsItWas();
};

void TestFormulaCells::formulaCellsCountAsUsed_data()
{
    QTest::addColumn<bool>("ods");
    QTest::addColumn<bool>("stored");
    QTest::newRow("xlsx with stored results") << false << true;
    QTest::newRow("xlsx without stored results") << false << false;
    QTest::newRow("ods with stored results") << true << true;
    QTest::newRow("ods without stored results") << true << false;
}

void TestFormulaCells::formulaCellsCountAsUsed()
{
    QFETCH(bool, ods);
    QFETCH(bool, stored);
    std::unique_ptr<Native::Grid> sheet;
    if (ods)
        sheet = Ods::Sheet::read(odsContent(stored), 1).value();
    else
        sheet = Xlsx::Sheet::read(xlsxSheet(stored), Xlsx::SharedStrings()).value();
    QCOMPARE(sheet->cellText(2, 1).value(), stored ? QStringLiteral("2") : QString());
    const Result<SheetFill::Layout> layout = SheetFill::DetectSheetLayout(*sheet);
    QVERIFY(layout.ok());
    QCOMPARE(int(layout->kind), int(SheetFill::RowLayout));
    QCOMPARE(layout->line, 5);
    // A formula overwritten by the fill is text from then on.
    QVERIFY(sheet->setCellText(2, 1, QString()).ok());
    QCOMPARE(sheet->cellUsed(2, 1).value(), false);
}

void TestFormulaCells::threeFillsKeepTheStoredResults()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("Totals.xlsx");
    Zip::Package package;
    QVERIFY(package.open(QStringLiteral(QLT_WORKBOOKS_DIR "row.xlsx")));
    QVERIFY(package.write(path, {{QStringLiteral("xl/worksheets/sheet1.xml"), xlsxSheet(true)}}));
    const QStringList fields{QStringLiteral("Name"), QStringLiteral("City")};
    for (int run = 1; run <= 3; ++run) {
        QStringList messages;
        OfficeFixtures::Run values;
        values.values = QStringList{QStringLiteral("Ann %1").arg(run), QStringLiteral("Rome %1").arg(run)};
        SystemEngines engines;
        SheetFill::ProcessSpreadsheet({path, 1}, home.appFolder(), fields, values, engines,
                                      [&messages](const QString &text, const QString &) { messages << text; });
        QCOMPARE(messages, QStringList());
    }
    Zip::Package filled;
    QVERIFY(filled.open(path));
    QByteArray xml;
    QVERIFY(filled.read(QStringLiteral("xl/worksheets/sheet1.xml"), &xml));
    for (const char *result : {"<v>2</v>", "<v>4</v>", "<v>6</v>"})
        QVERIFY2(xml.contains(result), result);
    const auto sheet = Xlsx::Sheet::read(xml, Xlsx::SharedStrings()).value();
    for (int run = 1; run <= 3; ++run)
        QCOMPARE(sheet->cellText(4 + run, 2).value(), QStringLiteral("Rome %1").arg(run));
    QCOMPARE(sheet->cellText(8, 1).value(), QStringLiteral("&Name&"));
}

// Another sheet's formulas that reach the filled one lose their stored
// results; one whose XML is cut off is left byte for byte, and the fill of
// the sound sheet goes on.
void TestFormulaCells::otherSheetThatCannotBeReadIsLeftAsItWas()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("Two.xlsx");
    Zip::Package package;
    QVERIFY(package.open(QStringLiteral(QLT_WORKBOOKS_DIR "row.xlsx")));
    QByteArray workbook, rels;
    QVERIFY(package.read(QStringLiteral("xl/workbook.xml"), &workbook));
    QVERIFY(package.read(QStringLiteral("xl/_rels/workbook.xml.rels"), &rels));
    workbook.replace("</sheets>", "<sheet name=\"other\" sheetId=\"2\" r:id=\"rId9\"/></sheets>");
    rels.replace("</Relationships>", "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/"
                                     "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
                                     "</Relationships>");
    const QByteArray cutOff = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><f>row!A5</f><v>7</v></c></row>";
    QVERIFY(package.write(path, {{QStringLiteral("xl/workbook.xml"), workbook},
                                 {QStringLiteral("xl/_rels/workbook.xml.rels"), rels},
                                 {QStringLiteral("xl/worksheets/sheet2.xml"), cutOff}}));
    QStringList messages;
    OfficeFixtures::Run values;
    values.values = QStringList{QStringLiteral("Ann"), QStringLiteral("Rome")};
    SystemEngines engines;
    SheetFill::ProcessSpreadsheet({path, 1}, home.appFolder(), {QStringLiteral("Name"), QStringLiteral("City")}, values,
                                  engines, [&messages](const QString &text, const QString &) { messages << text; });
    QCOMPARE(messages, QStringList());
    Zip::Package filled;
    QVERIFY(filled.open(path));
    QByteArray other, sheet;
    QVERIFY(filled.read(QStringLiteral("xl/worksheets/sheet2.xml"), &other));
    QCOMPARE(other, cutOff);
    QVERIFY(filled.read(QStringLiteral("xl/worksheets/sheet1.xml"), &sheet));
    QVERIFY(sheet.contains("Rome"));
}

QTEST_GUILESS_MAIN(TestFormulaCells)
#include "tst_formulacells.moc"
