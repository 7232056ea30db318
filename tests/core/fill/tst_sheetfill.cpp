#include "core/fill/sheetfill.h"
#include "tests/core/fill/fakesheet.h"

#include <QTest>

using namespace SheetFill;

namespace {
const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City")};
QString value(int j) { return j == 1 ? QStringLiteral("Ann") : j == 2 ? QStringLiteral("Rome") : QString(); }
} // namespace

class TestSheetFill : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layouts_data();
    void layouts();
    void fillsRowAndMovesMarkers();
    void secondFillTakesTheNextRow();
    void fillsColumn();
    void oneEmptyCellPassedTwoEnd();
    void unknownMarkerKeptAndCopied();
    void atMostHundredCells();
    void scanStopsEarly();
};

void TestSheetFill::layouts_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("line");
    QTest::newRow("row") << QStringList{QStringLiteral("Name,City"), QStringLiteral("&Name&,&City&")} << 1 << 2;
    QTest::newRow("column") << QStringList{QStringLiteral("Name,&Name&"), QStringLiteral("City,&City&")} << 2 << 2;
    QTest::newRow("one marker only") << QStringList{QStringLiteral("Name"), QStringLiteral("&Name&")} << 0 << 0;
    QTest::newRow("one marker but a marker column")
        << QStringList{QStringLiteral("a,&Name&"), QStringLiteral("b,&City&"), QStringLiteral("&x&")} << 2 << 2;
    QTest::newRow("row wins") << QStringList{QStringLiteral("&A&,&B&"), QStringLiteral("&C&,&D&")} << 1 << 2;
    QTest::newRow("not a marker") << QStringList{QStringLiteral("Total: &Name&,Total: &City&")} << 0 << 0;
    QTest::newRow("single ampersands count") << QStringList{QStringLiteral("&,&")} << 1 << 1;
    QTest::newRow("empty sheet") << QStringList{} << 0 << 0;
    QTest::newRow("markers after two empty cells still count")
        << QStringList{QStringLiteral("L1,L2,,,L5"), QStringLiteral("&Name&,,,&City&")} << 1 << 2;
}

void TestSheetFill::layouts()
{
    QFETCH(QStringList, rows);
    QFETCH(int, kind);
    QFETCH(int, line);
    FakeSheet sheet(rows);
    const Layout layout = DetectSheetLayout(sheet).value();
    QCOMPARE(int(layout.kind), kind);
    if (kind)
        QCOMPARE(layout.line, line);
}

void TestSheetFill::fillsRowAndMovesMarkers()
{
    FakeSheet sheet({QStringLiteral("Name,City"), QStringLiteral("&Name&,&City&")});
    const Layout layout = DetectSheetLayout(sheet).value();
    QVERIFY(fillRow(sheet, layout.line, kFields, value).ok());
    QCOMPARE(sheet.row(1, 3), QStringLiteral("Name,City,"));
    QCOMPARE(sheet.row(2, 3), QStringLiteral("Ann,Rome,"));
    QCOMPARE(sheet.row(3, 3), QStringLiteral("&Name&,&City&,"));
}

void TestSheetFill::secondFillTakesTheNextRow()
{
    FakeSheet sheet({QStringLiteral("Name,City"), QStringLiteral("&Name&,&City&")});
    for (int run = 0; run < 2; ++run)
        QVERIFY(fillRow(sheet, DetectSheetLayout(sheet).value().line, kFields, value).ok());
    QCOMPARE(sheet.row(3, 2), QStringLiteral("Ann,Rome"));
    QCOMPARE(sheet.row(4, 2), QStringLiteral("&Name&,&City&"));
}

void TestSheetFill::fillsColumn()
{
    FakeSheet sheet({QStringLiteral("Name,&Name&"), QStringLiteral("City,&City&")});
    const Layout layout = DetectSheetLayout(sheet).value();
    QCOMPARE(layout.kind, ColumnLayout);
    QVERIFY(fillColumn(sheet, layout.line, kFields, value).ok());
    QCOMPARE(sheet.row(1, 3), QStringLiteral("Name,Ann,&Name&"));
    QCOMPARE(sheet.row(2, 3), QStringLiteral("City,Rome,&City&"));
}

void TestSheetFill::oneEmptyCellPassedTwoEnd()
{
    FakeSheet one({QStringLiteral("&Name&,,&City&")});
    QVERIFY(fillRow(one, 1, kFields, value).ok());
    QCOMPARE(one.row(1, 3), QStringLiteral("Ann,,Rome"));
    FakeSheet two({QStringLiteral("&Name&,,,&City&")});
    QCOMPARE(DetectSheetLayout(two).value().kind, RowLayout); // both count for the layout
    QVERIFY(fillRow(two, 1, kFields, value).ok());
    QCOMPARE(two.row(1, 4), QStringLiteral("Ann,,,&City&"));
    QCOMPARE(two.row(2, 4), QStringLiteral("&Name&,,,"));
}

void TestSheetFill::unknownMarkerKeptAndCopied()
{
    FakeSheet sheet({QStringLiteral("&Name&,&Phone&,Total: &City&,&City&")});
    QVERIFY(fillRow(sheet, 1, kFields, value).ok());
    QCOMPARE(sheet.row(1, 4), QStringLiteral("Ann,&Phone&,Total: &City&,Rome"));
    QCOMPARE(sheet.row(2, 4), QStringLiteral("&Name&,&Phone&,Total: &City&,&City&"));
}

void TestSheetFill::atMostHundredCells()
{
    QStringList cells;
    for (int i = 1; i <= 120; ++i)
        cells << QStringLiteral("&Name&");
    FakeSheet sheet({cells.join(QLatin1Char(','))});
    QVERIFY(fillRow(sheet, 1, kFields, value).ok());
    QCOMPARE(sheet.at(1, 100), QStringLiteral("Ann"));
    QCOMPARE(sheet.at(1, 101), QStringLiteral("&Name&"));
    QCOMPARE(sheet.at(2, 100), QStringLiteral("&Name&"));
    QCOMPARE(sheet.at(2, 101), QString());
}

void TestSheetFill::scanStopsEarly()
{
    // Markers in row 40 after rows 37 to 39 are empty: the scan ends at 39.
    QStringList rows;
    for (int r = 1; r <= 36; ++r)
        rows << QStringLiteral("data %1").arg(r);
    rows << QString() << QString() << QString() << QStringLiteral("&Name&,&City&");
    FakeSheet sheet(rows);
    QCOMPARE(DetectSheetLayout(sheet).value().kind, NotAnalysable);
    QVERIFY(sheet.reads < 400); // no scan to 32000
}

QTEST_GUILESS_MAIN(TestSheetFill)
#include "tst_sheetfill.moc"
