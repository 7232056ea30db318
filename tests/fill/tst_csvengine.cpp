#include "app/fill/csvengine.h"
#include "app/fill/engines.h"
#include "app/fill/sheetfill.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {
class FakeRun : public RunContext {
public:
    QStringList values{QStringLiteral("Ann"), QStringLiteral("Rome")};
    QStringList waits;
    void showWait(const QString &caption) override { waits << caption; waitShown = true; }
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City")};

struct Filled {
    QStringList messages;
};

Filled fill(const QString &path, const QString &appFolder, qint16 sheet = 1)
{
    Filled result;
    FakeRun run;
    SystemEngines engines;
    SheetFill::ProcessSpreadsheet({path, sheet}, appFolder, kFields, run, engines,
                                  [&result](const QString &text, const QString &title) {
                                      result.messages << title + QLatin1Char('|') + text;
                                  });
    return result;
}
} // namespace

class TestCsvEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTripKeepsTheFile_data();
    void roundTripKeepsTheFile();
    void quotingAndLineBreaks();
    void delimiterDetection();
    void writtenValuesAreQuotedWhenNeeded();
    void fillsAndSwaps();
    void secondRunAndBackupReplaced();
    void unableToAnalyzeLeavesFile();
    void missingWorksheetIsAProblem();
    void missingFileIsAProblem();
    void workbookWithoutOfficeIsAProblem();
};

void TestCsvEngine::roundTripKeepsTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("crlf") << QByteArray("a,b\r\nc,d\r\n");
    QTest::newRow("lf, no final line end") << QByteArray("a,b\nc,d");
    QTest::newRow("semicolons") << QByteArray("a;\"b;c\";d\n1;2;3\n");
    QTest::newRow("tabs") << QByteArray("a\tb\tc\n");
    QTest::newRow("quoted everything") << QByteArray("\"a\",\"b\"\r\n\"c\",\"d\"\r\n");
    QTest::newRow("embedded line break") << QByteArray("\"two\nlines\",x\r\ny,z\r\n");
    QTest::newRow("doubled quotes") << QByteArray("\"say \"\"hi\"\"\",x\n");
    QTest::newRow("empty fields and lines") << QByteArray("a,,b\r\n\r\n,,\r\n");
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBFName,City\r\n");
    QTest::newRow("unicode") << QByteArray("caf\xc3\xa9,\xe2\x82\xac\n");
}

void TestCsvEngine::roundTripKeepsTheFile()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(Csv::write(Csv::parse(bytes)), bytes);
}

void TestCsvEngine::quotingAndLineBreaks()
{
    const Csv::Table t = Csv::parse("\"a,1\",\"two\r\nlines\",\"q\"\"x\"\r\nlast");
    QCOMPARE(t.rows.size(), 2);
    QCOMPARE(t.rows[0].size(), 3);
    QCOMPARE(t.rows[0][0].text, QStringLiteral("a,1"));
    QCOMPARE(t.rows[0][1].text, QStringLiteral("two\r\nlines"));
    QCOMPARE(t.rows[0][2].text, QStringLiteral("q\"x"));
    QCOMPARE(t.rows[1][0].text, QStringLiteral("last"));
    QVERIFY(!t.finalLineEnd);
    QCOMPARE(t.lineEnd, QByteArray("\r\n"));
}

void TestCsvEngine::delimiterDetection()
{
    QCOMPARE(Csv::detectDelimiter("a;b;c\n1,5;2,5;3\n"), ';');
    QCOMPARE(Csv::detectDelimiter("\"x;y;z\",b\n"), ',');
    QCOMPARE(Csv::detectDelimiter("a\tb\n"), '\t');
    QCOMPARE(Csv::detectDelimiter("single\n"), ',');
}

void TestCsvEngine::writtenValuesAreQuotedWhenNeeded()
{
    Csv::Table t = Csv::parse("a;b\n");
    t.rows[0][0].text = QStringLiteral("x;y");
    t.rows[0][1].text = QStringLiteral("say \"no\"");
    t.rows.append({Csv::Cell{QStringLiteral("007"), false}, Csv::Cell{QStringLiteral("1\n2"), false}});
    QCOMPARE(Csv::write(t), QByteArray("\"x;y\";\"say \"\"no\"\"\"\n007;\"1\n2\"\n"));
}

void TestCsvEngine::fillsAndSwaps()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("data/Book.csv");
    writeFile(book, "Name;City\r\n&Name&;&City&\r\n");
    const Filled f = fill(book, home.appFolder());
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(QLatin1Char('\n'))));
    QCOMPARE(readFile(book), QByteArray("Name;City\r\nAnn;Rome\r\n&Name&;&City&\r\n"));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Backup-Book.csv")), QByteArray("Name;City\r\n&Name&;&City&\r\n"));
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("Temp-Book.csv")));
}

void TestCsvEngine::secondRunAndBackupReplaced()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    writeFile(book, "Name,&Name&\nCity,&City&\n");
    writeFile(home.appFolder() + QStringLiteral("Backup-Book.csv"), "an older backup");
    writeFile(home.appFolder() + QStringLiteral("Temp-Book.csv"), "left over");
    QVERIFY(fill(book, home.appFolder()).messages.isEmpty());
    QVERIFY(fill(book, home.appFolder()).messages.isEmpty());
    QCOMPARE(readFile(book), QByteArray("Name,Ann,Ann,&Name&\nCity,Rome,Rome,&City&\n"));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Backup-Book.csv")), QByteArray("Name,Ann,&Name&\nCity,Rome,&City&\n"));
}

void TestCsvEngine::unableToAnalyzeLeavesFile()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    writeFile(book, "Name,City\nTotal: &Name&,x\n");
    const Filled f = fill(book, home.appFolder());
    QCOMPARE(f.messages, QStringList{QStringLiteral("Error|Unable to analyze spreadsheet \r\n") + book});
    QCOMPARE(readFile(book), QByteArray("Name,City\nTotal: &Name&,x\n"));
    QCOMPARE(QDir(home.appFolder()).entryList(QDir::Files), QStringList());
}

void TestCsvEngine::missingWorksheetIsAProblem()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    writeFile(book, "&Name&,&City&\n");
    const Filled f = fill(book, home.appFolder(), 2);
    QCOMPARE(f.messages, QStringList{QStringLiteral("Problem|The workbook has no worksheet number 2 while setting sheet to  2")});
    QCOMPARE(readFile(book), QByteArray("&Name&,&City&\n"));
    QCOMPARE(QDir(home.appFolder()).entryList(QDir::Files), QStringList());
}

void TestCsvEngine::missingFileIsAProblem()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("Gone.csv");
    const Filled f = fill(book, home.appFolder());
    QCOMPARE(f.messages, QStringList{QStringLiteral("Problem|File not found while setting xlbook to ") + book});
}

void TestCsvEngine::workbookWithoutOfficeIsAProblem()
{
    // As on a machine without LibreOffice: the module cannot be loaded.
    qputenv("QLT_CALC_MODULE", "/nonexistent/qltcalc.so");
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.xls");
    writeFile(book, "a workbook");
    const Filled f = fill(book, home.appFolder());
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages.first().startsWith(QStringLiteral("Problem|LibreOffice is not installed")));
    QVERIFY(f.messages.first().endsWith(QStringLiteral(" while creating spreadsheet object")));
    QCOMPARE(readFile(book), QByteArray("a workbook"));
    // .csv files need no office at all.
    const QString csv = home.path() + QStringLiteral("Book.csv");
    writeFile(csv, "&Name&,&City&\n");
    QVERIFY(fill(csv, home.appFolder()).messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestCsvEngine)
#include "tst_csvengine.moc"
