#include "app/fill/confirmform.h"
#include "app/fill/engines.h"
#include "app/fill/sheetfill.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <unistd.h>

// Fills real workbooks through a real LibreOffice, started and ended by
// each run as the program does.
namespace {
class FakeRun : public RunContext {
public:
    QStringList values{QStringLiteral("Ann"), QStringLiteral("Rome")};
    void showWait(const QString &) override { waitShown = true; }
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City")};

// Offices started by this test process and still running.
int ourOffices()
{
    int count = 0;
    const QString mine = QStringLiteral("qlt_calc_%1_").arg(::getpid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly) && QString::fromLocal8Bit(cmdline.readAll()).contains(mine))
            ++count;
    }
    return count;
}

// Reads rows back through the engine: each row as comma-separated cells.
QStringList readRows(const QString &path, int rows, int columns)
{
    QString error;
    auto engines = SystemEngines::loadCalc(&error);
    if (!engines)
        return {error};
    auto book = engines->createApplication(path)->open(path);
    Sheets::Worksheet &sheet = book->worksheet(1);
    QStringList out;
    for (int r = 1; r <= rows; ++r) {
        QStringList cells;
        for (int c = 1; c <= columns; ++c)
            cells << sheet.cellText(r, c);
        out << cells.join(QLatin1Char(','));
    }
    book->close();
    return out;
}
} // namespace

class TestCalcEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { closeAllWindows(); }
    void init() { MessageBox::setScripted(true); }

    void formats_data();
    void rowLayoutFillsTwiceAndKeepsBackup();
    void rowLayoutFillsTwiceAndKeepsBackup_data() { formats_data(); }
    void columnLayout();
    void columnLayout_data() { formats_data(); }
    void gapsUnknownMarkersAndLabels();
    void gapsUnknownMarkersAndLabels_data() { formats_data(); }
    void notAnalysableLeavesFile();
    void notAnalysableLeavesFile_data() { formats_data(); }
    void moreThanHundredMarkers();
    void moreThanHundredMarkers_data() { formats_data(); }
    void valuesStayText();
    void valuesStayText_data() { formats_data(); }
    void missingWorksheetLeavesFile();
    void missingWorksheetLeavesFile_data() { formats_data(); }
    void notASpreadsheetIsRefused();
    void csvThroughTheOffice();
    void sampleModelThroughConfirmWindow();

private:
    QString copyOf(const QString &name, const QString &format);
    QStringList fill(const QString &path, qint16 sheet = 1, int runs = 1, const QStringList &values = {});

    QTemporaryDir m_fixtures;
    std::unique_ptr<TestHome> m_home;
    int m_copies = 0;
};

void TestCalcEngine::initTestCase()
{
    QString error;
    if (!SystemEngines::loadCalc(&error))
        QFAIL(qPrintable(QStringLiteral("LibreOffice Calc cannot be driven: ") + error));
    m_home = std::make_unique<TestHome>();
    const QString src = m_fixtures.path() + QStringLiteral("/csv/");
    QStringList late;
    for (int r = 1; r <= 36; ++r)
        late << QStringLiteral("data %1").arg(r);
    late << QString() << QString() << QString() << QStringLiteral("&Name&,&City&");
    QStringList many;
    for (int i = 0; i < 120; ++i)
        many << QStringLiteral("&Name&");
    const QList<QPair<QString, QByteArray>> sources = {
        {QStringLiteral("row"), "Name,City\n&Name&,&City&\n"},
        {QStringLiteral("column"), "Name,&Name&\nCity,&City&\n"},
        {QStringLiteral("gaps"), "&Name&,,&City&,,,&Name&\n"},
        {QStringLiteral("phone"), "Name,Phone,Sum,City\n&Name&,&Phone&,Total: &City&,&City&\n"},
        {QStringLiteral("late"), late.join(QLatin1Char('\n')).toUtf8() + "\n"},
        {QStringLiteral("many"), many.join(QLatin1Char(',')).toUtf8() + "\n"},
    };
    for (const auto &[name, text] : sources)
        writeFile(src + name + QStringLiteral(".csv"), text);
    const QString profile = QUrl::fromLocalFile(m_fixtures.path() + QStringLiteral("/profile")).toString();
    const QStringList formats{QStringLiteral("xls:MS Excel 97"), QStringLiteral("xlsx:Calc MS Excel 2007 XML"),
                              QStringLiteral("ods")};
    for (const QString &format : formats) {
        const QString ext = format.section(QLatin1Char(':'), 0, 0);
        QStringList args{QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                         QStringLiteral("--infilter=CSV:44,34,76,1"), QStringLiteral("--convert-to"), format,
                         QStringLiteral("--outdir"), m_fixtures.path() + QLatin1Char('/') + ext};
        for (const auto &source : sources)
            args << src + source.first + QStringLiteral(".csv");
        QProcess convert;
        convert.start(QStringLiteral("soffice"), args);
        QVERIFY(convert.waitForFinished(180000));
        QCOMPARE(QDir(m_fixtures.path() + QLatin1Char('/') + ext).entryList(QDir::Files).size(), sources.size());
    }
}

void TestCalcEngine::formats_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("xls") << QStringLiteral("xls");
    QTest::newRow("xlsx") << QStringLiteral("xlsx");
    QTest::newRow("ods") << QStringLiteral("ods");
}

QString TestCalcEngine::copyOf(const QString &name, const QString &format)
{
    const QString folder = m_home->path() + QStringLiteral("books%1/").arg(++m_copies);
    QDir().mkpath(folder);
    const QString target = folder + name + QLatin1Char('.') + format;
    QFile::copy(m_fixtures.path() + QLatin1Char('/') + format + QLatin1Char('/') + name + QLatin1Char('.') + format, target);
    return target;
}

QStringList TestCalcEngine::fill(const QString &path, qint16 sheet, int runs, const QStringList &values)
{
    QStringList messages;
    for (int i = 0; i < runs; ++i) {
        FakeRun run;
        if (!values.isEmpty())
            run.values = values;
        SystemEngines engines;
        SheetFill::ProcessSpreadsheet({path, sheet}, m_home->appFolder(), kFields, run, engines,
                                      [&messages](const QString &text, const QString &title) {
                                          messages << title + QLatin1Char('|') + text;
                                      });
    }
    return messages;
}

void TestCalcEngine::rowLayoutFillsTwiceAndKeepsBackup()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("row"), format);
    writeFile(m_home->appFolder() + QStringLiteral("Backup-row.") + format, "an old backup");
    QVERIFY(fill(book, 1, 2).isEmpty());
    QCOMPARE(ourOffices(), 0);
    QCOMPARE(readRows(book, 4, 2), (QStringList{QStringLiteral("Name,City"), QStringLiteral("Ann,Rome"),
                                                 QStringLiteral("Ann,Rome"), QStringLiteral("&Name&,&City&")}));
    const QString backup = m_home->appFolder() + QStringLiteral("Backup-row.") + format;
    QCOMPARE(readRows(backup, 3, 2), (QStringList{QStringLiteral("Name,City"), QStringLiteral("Ann,Rome"),
                                                   QStringLiteral("&Name&,&City&")}));
    QVERIFY(!QFileInfo::exists(m_home->appFolder() + QStringLiteral("Temp-row.") + format));
    QVERIFY(!QFileInfo::exists(QFileInfo(book).absolutePath() + QStringLiteral("/.~lock.row.") + format + QLatin1Char('#')));
}

void TestCalcEngine::columnLayout()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("column"), format);
    QVERIFY(fill(book).isEmpty());
    QCOMPARE(readRows(book, 2, 3), (QStringList{QStringLiteral("Name,Ann,&Name&"), QStringLiteral("City,Rome,&City&")}));
}

void TestCalcEngine::gapsUnknownMarkersAndLabels()
{
    QFETCH(QString, format);
    const QString gaps = copyOf(QStringLiteral("gaps"), format);
    const QString phone = copyOf(QStringLiteral("phone"), format);
    QVERIFY(fill(gaps).isEmpty());
    QVERIFY(fill(phone).isEmpty());
    QCOMPARE(readRows(gaps, 2, 6), (QStringList{QStringLiteral("Ann,,Rome,,,&Name&"), QStringLiteral("&Name&,,&City&,,,")}));
    QCOMPARE(readRows(phone, 3, 4),
             (QStringList{QStringLiteral("Name,Phone,Sum,City"), QStringLiteral("Ann,&Phone&,Total: &City&,Rome"),
                          QStringLiteral("&Name&,&Phone&,Total: &City&,&City&")}));
}

void TestCalcEngine::notAnalysableLeavesFile()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("late"), format);
    const QByteArray before = readFile(book);
    const QStringList messages = fill(book);
    QCOMPARE(messages, QStringList{QStringLiteral("Error|Unable to analyze spreadsheet \r\n") + book});
    QCOMPARE(readFile(book), before);
    QVERIFY(!QFileInfo::exists(m_home->appFolder() + QStringLiteral("Temp-late.") + format));
    QVERIFY(!QFileInfo::exists(m_home->appFolder() + QStringLiteral("Backup-late.") + format));
    QCOMPARE(ourOffices(), 0);
}

void TestCalcEngine::moreThanHundredMarkers()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("many"), format);
    QVERIFY(fill(book).isEmpty());
    const QStringList rows = readRows(book, 2, 101);
    QCOMPARE(rows[0].section(QLatin1Char(','), 99, 100), QStringLiteral("Ann,&Name&"));
    QCOMPARE(rows[1].section(QLatin1Char(','), 99, 100), QStringLiteral("&Name&,"));
}

void TestCalcEngine::valuesStayText()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("row"), format);
    QVERIFY(fill(book, 1, 1, {QStringLiteral("007"), QStringLiteral("1/2")}).isEmpty());
    QCOMPARE(readRows(book, 2, 2)[1], QStringLiteral("007,1/2"));
}

void TestCalcEngine::missingWorksheetLeavesFile()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("row"), format);
    const QByteArray before = readFile(book);
    QCOMPARE(fill(book, 3), QStringList{QStringLiteral("Problem|The workbook has no worksheet number 3 while setting "
                                                       "sheet to  3")});
    QCOMPARE(readFile(book), before);
    QCOMPARE(ourOffices(), 0);
}

void TestCalcEngine::notASpreadsheetIsRefused()
{
    const QString fake = m_home->path() + QStringLiteral("notes.xls");
    writeFile(fake, "just some text,\nnot a workbook &Name&,&City&\n");
    const QStringList messages = fill(fake);
    QCOMPARE(messages, QStringList{QStringLiteral("Problem|The file is not a spreadsheet while setting xlbook to ") + fake});
    QCOMPARE(readFile(fake), QByteArray("just some text,\nnot a workbook &Name&,&City&\n"));
    const QString text = m_home->path() + QStringLiteral("letter.txt");
    writeFile(text, "Dear &Name&\n");
    QVERIFY(fill(text).first().startsWith(QStringLiteral("Problem|The file is not a spreadsheet")));
}

void TestCalcEngine::csvThroughTheOffice()
{
    QString error;
    auto engines = SystemEngines::loadCalc(&error);
    QVERIFY2(engines, qPrintable(error));
    const QString csv = m_home->path() + QStringLiteral("office.csv");
    writeFile(csv, "Name,City\n&Name&,&City&\n");
    auto book = engines->createApplication(csv)->open(csv);
    Sheets::Worksheet &sheet = book->worksheet(1);
    QCOMPARE(sheet.cellText(2, 2), QStringLiteral("&City&"));
    sheet.setCellText(3, 1, QStringLiteral("Ann"));
    const QString out = m_home->path() + QStringLiteral("office-out.csv");
    book->saveAs(out);
    book->close();
    engines.reset();
    QVERIFY(readFile(out).startsWith("Name,City\n&Name&,&City&\nAnn"));
    QCOMPARE(ourOffices(), 0);
}

void TestCalcEngine::sampleModelThroughConfirmWindow()
{
    TestHome home;
    for (const char *f : {"Sample Model.mod", "Sample Spreadsheet.xls"})
        QVERIFY(TestHome::copyData(QLatin1String(f), home.appFolder()));
    // As installed: the model names the spreadsheet in the app folder.
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"),
              " 5 \r\nFirst Name\r\nLast Name\r\nAddress\r\nCity\r\nDate\r\n 0 \r\n 1 \r\n" + home.appFolder().toUtf8()
                  + "Sample Spreadsheet.xls\r\n 1 \r\n");
    MainForm *main = startProgram();
    const QStringList values{QStringLiteral("Ann"), QStringLiteral("Zebrowski"), QStringLiteral("1 Quill Lane"),
                             QStringLiteral("Lisbon"), QStringLiteral("2026-12-07")};
    for (int i = 1; i <= 5; ++i)
        main->setFieldValue(i, values[i - 1]);
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    QVERIFY(child<QCheckBox>(confirm, QStringLiteral("chkSave_1"))->isChecked());
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(MessageBox::records().isEmpty(), qPrintable(lastMessage()));
    QCOMPARE(ourOffices(), 0);
    const QString book = home.appFolder() + QStringLiteral("Sample Spreadsheet.xls");
    QCOMPARE(readRows(book, 3, 5), (QStringList{QStringLiteral("First Name,Last Name,Address,City,Date"),
                                                 values.join(QLatin1Char(',')),
                                                 QStringLiteral("&First Name&,&Last Name&,&Address&,&City&,&Date&")}));
}

QTEST_MAIN(TestCalcEngine)
#include "tst_calcengine.moc"
