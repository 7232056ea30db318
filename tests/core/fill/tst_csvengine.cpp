#include "core/fill/csvengine.h"
#include "core/fill/engines.h"
#include "core/fill/sheetfill.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTest>

namespace {
class FakeRun : public RunContext {
public:
    QStringList values{QStringLiteral("Ann"), QStringLiteral("Rome")};
    QStringList waits;
    void showWait(const QString &caption) override { waits << caption; waitShown = true; }
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

QByteArray utf16le(const QString &text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return encoder.encode(text);
}

const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City")};

struct Filled {
    QStringList messages;
};

Filled fill(const QString &path, const QString &appFolder, qint16 sheet = 1, const QStringList &values = {})
{
    Filled result;
    FakeRun run;
    if (!values.isEmpty())
        run.values = values;
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
    void delimiterDetection_data();
    void delimiterDetection();
    void writtenValuesAreQuotedWhenNeeded();
    void fillKeepsEncodingLineEndsAndEarlierRecords_data();
    void fillKeepsEncodingLineEndsAndEarlierRecords();
    void valueOutsideTheEncodingIsAProblem();
    void laterFillsAfterDelimitersInValues_data();
    void laterFillsAfterDelimitersInValues();
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
    QTest::newRow("windows-1252") << QByteArray("M\xfcller;K\xf6ln;\x80 5\r\n\x81\x8d\x8f\x90\x9d;\xff\r\n");
    QTest::newRow("utf-16le") << QByteArray("\xFF\xFEN\0a\0,\0\xFC\0\r\0\n\0", 14);
    QTest::newRow("mixed line ends") << QByteArray("a,b\r\nc,d\ne,f\rg,h");
    QTest::newRow("blanks unquoted") << QByteArray("a, b ,c\n");
    QTest::newRow("quote inside a field") << QByteArray("5\" pipe,x\n");
    QTest::newRow("unclosed quote") << QByteArray("a,\"b\nc");
}

void TestCsvEngine::roundTripKeepsTheFile()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(Csv::write(Csv::parse(bytes)).value(), bytes);
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
    QCOMPARE(t.ends, (QStringList{QStringLiteral("\r\n"), QString()}));
    QCOMPARE(t.lineEnd, QStringLiteral("\r\n"));
}

void TestCsvEngine::delimiterDetection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("delimiter");
    QTest::newRow("decimal commas") << QStringLiteral("a;b;c\n1,5;2,5;3\n") << QChar(u';');
    QTest::newRow("quoted semicolons") << QStringLiteral("\"x;y;z\",b\n") << QChar(u',');
    QTest::newRow("tab") << QStringLiteral("a\tb\n") << QChar(u'\t');
    QTest::newRow("none") << QStringLiteral("single\n") << QChar(u',');
    QTest::newRow("commas in a semicolon header")
        << QStringLiteral("Name, first;City, town, county\n&Name&;&City&\n") << QChar(u';');
    QTest::newRow("commas in a filled record")
        << QStringLiteral("Smith, Jones, Brown, Lee;Rome\n&Name&;&City&\n") << QChar(u';');
    QTest::newRow("semicolons in a quoted record")
        << QStringLiteral("\"Smith; Jones; Brown; Lee\",Rome\n&Name&,&City&\n") << QChar(u',');
    QTest::newRow("quoted line break hides delimiters")
        << QStringLiteral("\"a;b;c\nd;e;f\",x\ny,z\n") << QChar(u',');
    QTest::newRow("column layout") << QStringLiteral("Name;Smith, Jones, Brown, Lee;&Name&\nCity;Rome;&City&\n")
                                   << QChar(u';');
}

void TestCsvEngine::delimiterDetection()
{
    QFETCH(QString, text);
    QFETCH(QChar, delimiter);
    QCOMPARE(Csv::detectDelimiter(text), delimiter);
}

void TestCsvEngine::writtenValuesAreQuotedWhenNeeded()
{
    Csv::Table t = Csv::parse("a;b\n");
    QVERIFY(Csv::setCell(t, 1, 1, QStringLiteral("x;y")).ok());
    QVERIFY(Csv::setCell(t, 1, 2, QStringLiteral("say \"no\"")).ok());
    QVERIFY(Csv::setCell(t, 2, 1, QStringLiteral("007")).ok());
    QVERIFY(Csv::setCell(t, 2, 2, QStringLiteral("1\n2")).ok());
    QVERIFY(Csv::setCell(t, 3, 1, QStringLiteral("a, b")).ok());
    QVERIFY(Csv::setCell(t, 3, 2, QStringLiteral("tab\there")).ok());
    QCOMPARE(Csv::write(t).value(), QByteArray("\"x;y\";\"say \"\"no\"\"\"\n007;\"1\n2\"\n\"a, b\";\"tab\there\"\n"));
}

void TestCsvEngine::fillKeepsEncodingLineEndsAndEarlierRecords_data()
{
    QTest::addColumn<QByteArray>("records"); // the records before the marker row
    QTest::addColumn<QByteArray>("markers");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("filled"); // what replaces the marker row
    QTest::newRow("windows-1252, semicolons, crlf")
        << QByteArray("Name;Stadt\r\nM\xfcller;K\xf6ln \x80\r\n") << QByteArray("&Name&;&City&\r\n")
        << QStringList{QStringLiteral("J\u00fcrgen"), QStringLiteral("D\u00fcsseldorf \u20ac")}
        << QByteArray("J\xfcrgen;D\xfcsseldorf \x80\r\n&Name&;&City&\r\n");
    QTest::newRow("utf-8, lf") << QByteArray("Name,City\nM\xc3\xbcller,K\xc3\xb6ln\n") << QByteArray("&Name&,&City&\n")
                               << QStringList{QStringLiteral("\u0141ukasz"), QStringLiteral("Krak\u00f3w")}
                               << QByteArray("\xc5\x81ukasz,Krak\xc3\xb3w\n&Name&,&City&\n");
    QTest::newRow("utf-16le with bom") << QByteArray("\xFF\xFE") + utf16le(QStringLiteral("N,C\r\n"))
                                       << utf16le(QStringLiteral("&Name&,&City&\r\n"))
                                       << QStringList{QStringLiteral("\u0141"), QStringLiteral("R")}
                                       << utf16le(QStringLiteral("\u0141,R\r\n&Name&,&City&\r\n"));
    QTest::newRow("records as others wrote them")
        << QByteArray("\"Name\" , City \r\nx,\"a\"\"b\"\rlast,one\n") << QByteArray("&Name&,&City&")
        << QStringList{QStringLiteral("Ann"), QStringLiteral("Rome")} << QByteArray("Ann,Rome\r\n&Name&,&City&");
    QTest::newRow("quoted markers") << QByteArray("\"Name\",\"City\"\r\n") << QByteArray("\"&Name&\",\"&City&\"\r\n")
                                    << QStringList{QStringLiteral("Ann"), QStringLiteral("Rome")}
                                    << QByteArray("\"Ann\",\"Rome\"\r\n\"&Name&\",\"&City&\"\r\n");
}

void TestCsvEngine::fillKeepsEncodingLineEndsAndEarlierRecords()
{
    QFETCH(QByteArray, records);
    QFETCH(QByteArray, markers);
    QFETCH(QStringList, values);
    QFETCH(QByteArray, filled);
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    writeFile(book, records + markers);
    const Filled f = fill(book, home.appFolder(), 1, values);
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(QLatin1Char('\n'))));
    QCOMPARE(readFile(book), records + filled);
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Backup-Book.csv")), records + markers);
}

void TestCsvEngine::valueOutsideTheEncodingIsAProblem()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    const QByteArray before("Name;Stadt\r\nM\xfcller;K\xf6ln\r\n&Name&;&City&\r\n");
    writeFile(book, before);
    writeFile(home.appFolder() + QStringLiteral("Backup-Book.csv"), "an older backup");
    const Filled f = fill(book, home.appFolder(), 1, {QStringLiteral("\u0141ukasz"), QStringLiteral("Krak\u00f3w")});
    QCOMPARE(f.messages, QStringList{QStringLiteral("Problem|The value \"\u0141ukasz\" cannot be written in this file's "
                                                    "encoding (Windows-1252) while modifying ") + book});
    QCOMPARE(readFile(book), before);
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Backup-Book.csv")), QByteArray("an older backup"));
    QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList{QStringLiteral("Book.csv")});
}

void TestCsvEngine::laterFillsAfterDelimitersInValues_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("semicolons, no header") << QByteArray("&Name&;&City&\r\n") << QStringLiteral("Smith; Jones; Brown; Lee")
                                           << QByteArray("\"Smith; Jones; Brown; Lee\";Rome\r\n");
    QTest::newRow("commas in a semicolon file") << QByteArray("&Name&;&City&\r\n")
                                                << QStringLiteral("Smith, Jones, Brown, Lee")
                                                << QByteArray("\"Smith, Jones, Brown, Lee\";Rome\r\n");
    QTest::newRow("semicolons in a comma file") << QByteArray("Name,City\n&Name&,&City&\n")
                                                << QStringLiteral("Smith; Jones; Brown; Lee")
                                                << QByteArray("\"Smith; Jones; Brown; Lee\",Rome\n");
}

void TestCsvEngine::laterFillsAfterDelimitersInValues()
{
    QFETCH(QByteArray, start);
    QFETCH(QString, value);
    QFETCH(QByteArray, end);
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    writeFile(book, start);
    const QByteArray markers = start.mid(start.indexOf("&Name&"));
    for (int run = 0; run < 3; ++run) {
        const Filled f = fill(book, home.appFolder(), 1, {value, QStringLiteral("Rome")});
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(QLatin1Char('\n'))));
    }
    QCOMPARE(readFile(book), start.left(start.indexOf("&Name&")) + end + end + end + markers);
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
    QCOMPARE(QDir(home.path() + QStringLiteral("data")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Book.csv")});
}

void TestCsvEngine::secondRunAndBackupReplaced()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    writeFile(book, "Name,&Name&\nCity,&City&\n");
    writeFile(home.appFolder() + QStringLiteral("Backup-Book.csv"), "an older backup");
    writeFile(home.path() + QStringLiteral("Temp-Book.csv"), "left over by a failed run");
    QVERIFY(fill(book, home.appFolder()).messages.isEmpty());
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("Temp-Book.csv")));
    QVERIFY(fill(book, home.appFolder()).messages.isEmpty());
    QCOMPARE(readFile(book), QByteArray("Name,Ann,Ann,&Name&\nCity,Rome,Rome,&City&\n"));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Backup-Book.csv")), QByteArray("Name,Ann,&Name&\nCity,Rome,&City&\n"));
}

void TestCsvEngine::unableToAnalyzeLeavesFile()
{
    TestHome home;
    const QString book = home.path() + QStringLiteral("Book.csv");
    writeFile(book, "Name,City\nTotal: &Name&,x\n");
    writeFile(home.appFolder() + QStringLiteral("Backup-Book.csv"), "an older backup");
    const Filled f = fill(book, home.appFolder());
    QCOMPARE(f.messages, QStringList{QStringLiteral("Error|Unable to analyze spreadsheet \r\n") + book});
    QCOMPARE(readFile(book), QByteArray("Name,City\nTotal: &Name&,x\n"));
    QCOMPARE(QDir(home.appFolder()).entryList(QDir::Files), QStringList{QStringLiteral("Backup-Book.csv")});
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Backup-Book.csv")), QByteArray("an older backup"));
    QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList{QStringLiteral("Book.csv")});
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
    SystemEngines::setCalcModulePath(QStringLiteral("/nonexistent/qltcalc.so"));
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
