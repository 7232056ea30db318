// Inputs that once crashed, hung or misbehaved, kept so that no later change
// brings them back: rich text built to exhaust the reader, markers packed
// against each other, and a CSV value that used to derail later fills.
// Inputs the fuzzers found are replayed by the fuzz_replay_* tests.

#include "core/fill/csvengine.h"
#include "core/fill/engines.h"
#include "core/fill/markers.h"
#include "core/render/rtfreader.h"
#include "core/fill/sheetfill.h"
#include "tests/support/testhome.h"

#include <QGuiApplication>
#include <QTest>
#include <QTextDocument>

namespace {
QByteArray repeated(const QByteArray &piece, int times)
{
    QByteArray out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

class Run : public RunContext {
public:
    QStringList values;
    void showWait(const QString &) override {}
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

const QString kAwkward = QStringLiteral("Smith; Jones; Brown; Lee");
} // namespace

class TestRegressions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hostileRichText_data();
    void hostileRichText();
    void touchingMarkers_data();
    void touchingMarkers();
    void delimiterValueKeepsLaterFills_data();
    void delimiterValueKeepsLaterFills();
};

void TestRegressions::hostileRichText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    // Text around the hostile part must survive it.
    QTest::newRow("50000 nested groups")
        << "{\\rtf1 before " + QByteArray(50000, '{') + "x" + QByteArray(50000, '}') + " after}";
    QTest::newRow("unclosed nested groups") << "{\\rtf1 before " + QByteArray(50000, '{') + " after";
    QTest::newRow("huge \\bin count") << QByteArray("{\\rtf1 before after\\bin99999999999 x}");
    QTest::newRow("\\bin past the int range") << QByteArray("{\\rtf1 before after\\bin2147483648 x}");
    QTest::newRow("negative \\bin") << QByteArray("{\\rtf1 before after\\bin-5 x}");
    QTest::newRow("1100 columns, 8 KB")
        << "{\\rtf1 before\\par\\trowd" + repeated("\\cellx1", 1100) + "\\intbl " + repeated("\\cell ", 1100)
            + "\\row after}";
    QTest::newRow("1600 cells without widths")
        << "{\\rtf1 before\\par\\trowd\\intbl " + repeated("\\cell ", 1600) + "\\row after}";
    QTest::newRow("25 rows of 40 columns")
        << "{\\rtf1 before\\par" + repeated("\\trowd" + repeated("\\cellx9", 40) + "\\intbl " + repeated("x\\cell ", 40) + "\\row", 25)
            + "\\pard after}";
}

void TestRegressions::hostileRichText()
{
    QFETCH(QByteArray, rtf);
    const std::unique_ptr<QTextDocument> doc = RtfReader::toDocument(rtf);
    QVERIFY(doc);
    doc->setPageSize(QSizeF(794, 1123));
    QVERIFY(doc->pageCount() >= 1);
    const QString text = doc->toPlainText();
    QVERIFY(text.contains(QStringLiteral("before")));
    QVERIFY(text.contains(QStringLiteral("after")));
    QVERIFY(!text.contains(QStringLiteral("\\rtf")));
}

void TestRegressions::touchingMarkers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("values"); // for the fields A and B
    QTest::addColumn<QByteArray>("filled");
    QTest::newRow("100000 touching") << repeated("&A&", 100000) << QStringList{QStringLiteral("xy"), QString()}
                                     << repeated("xy", 100000);
    QTest::newRow("100000 touching, emptied") << repeated("&A&", 100000) << QStringList{QString(), QString()}
                                              << QByteArray();
    QTest::newRow("two fields touching") << QByteArray("&A&&B&") << QStringList{QStringLiteral("1"), QStringLiteral("2")}
                                         << QByteArray("12");
    QTest::newRow("sharing an ampersand") << QByteArray("&A&B&") << QStringList{QStringLiteral("1"), QStringLiteral("2")}
                                          << QByteArray("1B&");
    QTest::newRow("value is its own marker") << repeated("&A&", 1000) << QStringList{QStringLiteral("&A&"), QString()}
                                             << repeated("&A&", 1000);
    QTest::newRow("value makes the next field's marker")
        << repeated("&A&", 1000) << QStringList{QStringLiteral("&B&"), QStringLiteral("z")} << repeated("z", 1000);
}

void TestRegressions::touchingMarkers()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, values);
    QFETCH(QByteArray, filled);
    const QStringList fields{QStringLiteral("A"), QStringLiteral("B")};
    QCOMPARE(Markers::ReplaceFieldMarkers(text, QStringLiteral(".txt"), fields, values).value(), filled);
}

void TestRegressions::delimiterValueKeepsLaterFills_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("line"); // the marker row or column before the first fill
    QTest::newRow("semicolon file") << QByteArray("Name;City\r\n&Name&;&City&\r\n") << int(SheetFill::RowLayout) << 2;
    QTest::newRow("semicolon file, first record") << QByteArray("&Name&;&City&\r\n") << int(SheetFill::RowLayout) << 1;
    QTest::newRow("comma file, first record") << QByteArray("&Name&,&City&\n") << int(SheetFill::RowLayout) << 1;
    QTest::newRow("tab file, column layout") << QByteArray("Name\t&Name&\r\nCity\t&City&\r\n")
                                             << int(SheetFill::ColumnLayout) << 2;
}

void TestRegressions::delimiterValueKeepsLaterFills()
{
    QFETCH(QByteArray, start);
    QFETCH(int, kind);
    QFETCH(int, line);
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    QVERIFY(writeFile(book, start));
    const QStringList fields{QStringLiteral("Name"), QStringLiteral("City")};
    for (int fill = 1; fill <= 3; ++fill) {
        Run run;
        run.values = {kAwkward, QStringLiteral("Rome, Italy %1").arg(fill)};
        SystemEngines engines;
        QStringList messages;
        SheetFill::ProcessSpreadsheet({book, 1}, home.appFolder(), fields, run, engines,
                                      [&messages](const QString &text, const QString &) { messages << text; });
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));

        const auto reread = Csv::Workbook::read(book);
        QVERIFY2(reread.ok(), qPrintable(reread.error()));
        Sheets::Worksheet &sheet = *(*reread)->worksheet(1).value();
        const SheetFill::Layout layout = SheetFill::DetectSheetLayout(sheet).value();
        QCOMPARE(int(layout.kind), kind);
        QCOMPARE(layout.line, line + fill);
        auto cell = [&](int recordLine, int position) {
            return (kind == int(SheetFill::RowLayout) ? sheet.cellText(recordLine, position)
                                                      : sheet.cellText(position, recordLine))
                .value();
        };
        for (int record = 1; record <= fill; ++record) {
            QCOMPARE(cell(line + record - 1, 1), kAwkward);
            QCOMPARE(cell(line + record - 1, 2), QStringLiteral("Rome, Italy %1").arg(record));
        }
        QCOMPARE(cell(line + fill, 1), QStringLiteral("&Name&"));
    }
}

QTEST_MAIN(TestRegressions)
#include "tst_regressions.moc"
