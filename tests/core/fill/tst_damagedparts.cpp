#include "core/fill/csvengine.h"
#include "core/fill/nativeworkbook.h"
#include "core/fill/odssheet.h"
#include "core/fill/xlsxsheet.h"
#include "tests/support/testhome.h"

#include <QtTest>

// What our own spreadsheet engines answer for parts they cannot trust and
// for saves that cannot be written: the message the run's "Problem" shows.
class TestDamagedParts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void worksheetsSayWhyTheyCannotBeRead_data();
    void worksheetsSayWhyTheyCannotBeRead();
    void workbookPartsSayWhyTheyCannotBeRead_data();
    void workbookPartsSayWhyTheyCannotBeRead();
    void damagedCellTextFailsWhenRead();
    void saveIntoAMissingFolderIsRefused_data();
    void saveIntoAMissingFolderIsRefused();
    void csvCellOutsideTheSheetIsRefused();
};

namespace {
const QByteArray kOdsStart = "<office:document-content><office:body><office:spreadsheet><table:table table:name=\"S\">";
const QByteArray kOdsEnd = "</table:table></office:spreadsheet></office:body></office:document-content>";
} // namespace

void TestDamagedParts::worksheetsSayWhyTheyCannotBeRead_data()
{
    QTest::addColumn<bool>("ods");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("message");
    QTest::newRow("xlsx rows out of order")
        << false << QByteArray("<worksheet><sheetData><row r=\"2\"/><row r=\"1\"/></sheetData></worksheet>") << 1
        << QStringLiteral("The worksheet's rows are out of order");
    QTest::newRow("xlsx cells out of order")
        << false << QByteArray("<worksheet><sheetData><row r=\"1\"><c r=\"B1\"/><c r=\"A1\"/></row></sheetData></worksheet>")
        << 1 << QStringLiteral("The worksheet's cells are out of order");
    QTest::newRow("xlsx without cells") << false << QByteArray("<worksheet></worksheet>") << 1
                                        << QStringLiteral("The worksheet is damaged");
    QTest::newRow("ods table past the last") << true << kOdsStart + "<table:table-row/>" + kOdsEnd << 2
                                             << QStringLiteral("The workbook has no worksheet number 2");
    QTest::newRow("ods repeat count of 0")
        << true << kOdsStart + "<table:table-row table:number-rows-repeated=\"0\"/>" + kOdsEnd << 1
        << QStringLiteral("The spreadsheet's content is damaged (a repeat count of 0)");
    QTest::newRow("ods cut off") << true << kOdsStart + "<table:table-row><table:table-cell" << 1
                                 << QStringLiteral("The spreadsheet's content is damaged");
}

void TestDamagedParts::worksheetsSayWhyTheyCannotBeRead()
{
    QFETCH(bool, ods);
    QFETCH(QByteArray, xml);
    QFETCH(int, position);
    QFETCH(QString, message);
    // No sheet comes of it, so nothing can be written back from one that
    // was not read whole.
    const QString error =
        ods ? Ods::Sheet::read(xml, position).error() : Xlsx::Sheet::read(xml, Xlsx::SharedStrings()).error();
    QCOMPARE(error, message);
}

void TestDamagedParts::workbookPartsSayWhyTheyCannotBeRead_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("message"); // the start of it
    const QByteArray appOnly = "<Relationships><Relationship Id=\"r1\" Target=\"docProps/app.xml\" "
                               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\"/>"
                               "</Relationships>";
    QTest::newRow("package without a workbook") << QStringLiteral("package") << appOnly
                                                << QStringLiteral("The package holds no workbook");
    QTest::newRow("package relationships cut off") << QStringLiteral("package") << QByteArray("<Relationships><Rel")
                                                   << QStringLiteral("The workbook part _rels/.rels is damaged (");
    QTest::newRow("workbook cut off") << QStringLiteral("workbook") << QByteArray("<workbook><sheets><sheet name=")
                                      << QStringLiteral("The workbook part xl/workbook.xml is damaged (");
    QTest::newRow("workbook without an end") << QStringLiteral("calc") << QByteArray("<workbook><sheets>")
                                             << QStringLiteral("The workbook part workbook is damaged (");
    QTest::newRow("shared strings cut off") << QStringLiteral("strings") << QByteArray("<sst><si><t>a</t></si><si")
                                            << QStringLiteral("The workbook's shared strings are damaged");
}

void TestDamagedParts::workbookPartsSayWhyTheyCannotBeRead()
{
    QFETCH(QString, part);
    QFETCH(QByteArray, xml);
    QFETCH(QString, message);
    QString error;
    if (part == QLatin1String("package")) {
        error = Xlsx::workbookPart(xml).error();
    } else if (part == QLatin1String("workbook")) {
        QString strings;
        error = Xlsx::sheetParts(QStringLiteral("xl/workbook.xml"), xml, "<Relationships/>", &strings).error();
    } else if (part == QLatin1String("calc")) {
        error = Xlsx::withFullCalcOnLoad(xml).error();
    } else {
        QVERIFY(!Xlsx::SharedStrings::read(xml).ok());
        error = Xlsx::parseSharedStrings(xml).error();
    }
    QVERIFY2(error.startsWith(message), qPrintable(error));
}

void TestDamagedParts::damagedCellTextFailsWhenRead()
{
    // Cell text is decoded only when it is asked for: the sheet reads as
    // sound until then.
    const QByteArray xml = kOdsStart
        + "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>a<text:s text:c=\"0\"/>b</text:p>"
          "</table:table-cell><table:table-cell office:value-type=\"string\"><text:p>ok</text:p></table:table-cell>"
          "</table:table-row>"
        + kOdsEnd;
    const Result<std::unique_ptr<Ods::Sheet>> read = Ods::Sheet::read(xml, 1);
    QVERIFY2(read, qPrintable(read.error()));
    Ods::Sheet &sheet = **read;
    QCOMPARE(sheet.cellText(1, 2).value(), QStringLiteral("ok"));
    const Result<QString> text = sheet.cellText(1, 1);
    QVERIFY(!text.ok());
    QCOMPARE(text.error(), QStringLiteral("The spreadsheet's content is damaged (a repeat count of 0)"));
    // The damage found stays: later reads and the write-back answer it.
    QCOMPARE(sheet.cellText(1, 2).error(), text.error());
    QCOMPARE(sheet.rewritten().error(), text.error());
}

void TestDamagedParts::saveIntoAMissingFolderIsRefused_data()
{
    QTest::addColumn<QString>("workbook");
    QTest::newRow("xlsx") << QStringLiteral("row.xlsx");
    QTest::newRow("ods") << QStringLiteral("row.ods");
    QTest::newRow("csv") << QString();
}

void TestDamagedParts::saveIntoAMissingFolderIsRefused()
{
    QFETCH(QString, workbook);
    TestHome home;
    QString source = home.path() + QStringLiteral("book.csv");
    std::unique_ptr<Sheets::Application> application;
    if (workbook.isEmpty()) {
        QFile csv(source);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Name,City\r\n&Name&,&City&\r\n");
        csv.close();
        application = std::make_unique<Csv::Application>();
    } else {
        source = QStringLiteral(QLT_WORKBOOKS_DIR) + workbook;
        application = std::make_unique<Native::Application>();
    }
    const Result<std::unique_ptr<Sheets::Workbook>> book = application->open(source);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    const Result<Sheets::Worksheet *> sheet = (*book)->worksheet(1);
    QVERIFY2(sheet.ok(), qPrintable(sheet.error()));
    QVERIFY((*sheet)->setCellText(5, 1, QStringLiteral("Ann")).ok());
    const QString target = home.path() + QStringLiteral("no such folder/Temp-") + QFileInfo(source).fileName();
    const Status saved = (*book)->saveAs(target);
    QVERIFY(!saved.ok());
    if (workbook.isEmpty())
        QVERIFY2(!saved.error().isEmpty(), "the save's own reason");
    else
        QCOMPARE(saved.error(), QStringLiteral("The file ") + target + QStringLiteral(" cannot be written"));
    QVERIFY(!QFileInfo::exists(target));
}

void TestDamagedParts::csvCellOutsideTheSheetIsRefused()
{
    Csv::Table table = Csv::parse("a,b\r\n");
    const Status written = Csv::setCell(table, 0, 1, QStringLiteral("x"));
    QVERIFY(!written.ok());
    QCOMPARE(written.error(), QStringLiteral("Invalid cell address"));
    QCOMPARE(Csv::write(table).value(), QByteArray("a,b\r\n"));
}

QTEST_GUILESS_MAIN(TestDamagedParts)
#include "tst_damagedparts.moc"
