#include "core/fill/engines.h"
#include "core/fill/sheetfill.h"
#include "tests/core/fill/officetools.h"
#include "platform/gui/messagebox.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// Fills workbooks made by LibreOffice through a real LibreOffice. The cases
// share one office, as the runs of one confirmation window would; the
// office that a run starts and ends itself is checked in tst_calcoffice.
namespace {
class FakeRun : public RunContext {
public:
    QStringList values{QStringLiteral("Ann"), QStringLiteral("Rome")};
    void showWait(const QString &) override { waitShown = true; }
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City")};
} // namespace

class TestCalcEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init() { Ask::setScripted(true); }

    void formats_data();
    void rowLayoutFillsTwiceAndKeepsBackup();
    void rowLayoutFillsTwiceAndKeepsBackup_data() { formats_data(); }
    void columnLayout();
    void columnLayout_data() { formats_data(); }
    void gapsUnknownMarkersAndLabels();
    void gapsUnknownMarkersAndLabels_data() { formats_data(); }
    void notAnalysableTouchesNoFile();
    void notAnalysableTouchesNoFile_data() { formats_data(); }
    void moreThanHundredMarkers();
    void moreThanHundredMarkers_data() { formats_data(); }
    void valuesStayText();
    void valuesStayText_data() { formats_data(); }
    void missingWorksheetLeavesFile();
    void missingWorksheetLeavesFile_data() { formats_data(); }
    void relativeHyperlinksStay_data();
    void relativeHyperlinksStay();
    void workbookOpenInAnOfficeIsRefused();
    void notASpreadsheetIsRefused();
    void csvThroughTheOffice();

private:
    QString copyOf(const QString &name, const QString &format);
    QStringList fill(const QString &path, qint16 sheet = 1, int runs = 1, const QStringList &values = {});
    QStringList readRows(const QString &path, int rows, int columns);
    // The office the cases share, started on first use.
    const std::shared_ptr<Sheets::Engines> &office();
    void endSharedOffice();

    std::shared_ptr<Sheets::Engines> m_office; // shared by the cases
    std::unique_ptr<TestHome> m_home;
    int m_copies = 0;
};

void TestCalcEngine::initTestCase()
{
    auto loaded = SystemEngines::loadCalc();
    QVERIFY2(loaded, qPrintable(QStringLiteral("LibreOffice Calc cannot be driven: ") + loaded.error()));
    m_office = std::move(loaded).value();
    const auto started = m_office->createApplication(QStringLiteral("start.xls")); // starts the shared office
    if (!started)
        QFAIL(qPrintable(QStringLiteral("LibreOffice Calc does not start: ") + started.error()));
    QCOMPARE(ourOffices(), 1);
    m_home = std::make_unique<TestHome>();
}

void TestCalcEngine::cleanupTestCase() { endSharedOffice(); }

const std::shared_ptr<Sheets::Engines> &TestCalcEngine::office()
{
    if (!m_office) {
        if (auto loaded = SystemEngines::loadCalc())
            m_office = std::move(loaded).value();
    }
    return m_office;
}

void TestCalcEngine::endSharedOffice()
{
    m_office.reset();
    QCOMPARE(ourOffices(), 0);
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
    writeFile(target, readFile(QStringLiteral(QLT_WORKBOOKS_DIR) + name + QLatin1Char('.') + format));
    return target;
}

QStringList TestCalcEngine::fill(const QString &path, qint16 sheet, int runs, const QStringList &values)
{
    QStringList messages;
    for (int i = 0; i < runs; ++i) {
        FakeRun run;
        if (!values.isEmpty())
            run.values = values;
        SystemEngines engines(office());
        SheetFill::ProcessSpreadsheet({path, sheet}, m_home->appFolder(), kFields, run, engines,
                                      [&messages](const QString &text, const QString &title) {
                                          messages << title + QLatin1Char('|') + text;
                                      });
    }
    return messages;
}

QStringList TestCalcEngine::readRows(const QString &path, int rows, int columns)
{
    return ::readRows(*office(), path, rows, columns);
}

void TestCalcEngine::rowLayoutFillsTwiceAndKeepsBackup()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("row"), format);
    const QString backup = m_home->appFolder() + QStringLiteral("Backup-row.") + format;
    writeFile(backup, "an old backup");
    QVERIFY(fill(book, 1, 2).isEmpty());
    QCOMPARE(readRows(book, 4, 2), (QStringList{QStringLiteral("Name,City"), QStringLiteral("Ann,Rome"),
                                                 QStringLiteral("Ann,Rome"), QStringLiteral("&Name&,&City&")}));
    QCOMPARE(readRows(backup, 3, 2), (QStringList{QStringLiteral("Name,City"), QStringLiteral("Ann,Rome"),
                                                   QStringLiteral("&Name&,&City&")}));
    // No temporary copy and no lock file stay beside the workbook or in the app folder.
    QCOMPARE(QDir(QFileInfo(book).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(book).fileName()});
    QVERIFY(!QFileInfo::exists(m_home->appFolder() + QStringLiteral("Temp-row.") + format));
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

void TestCalcEngine::notAnalysableTouchesNoFile()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("late"), format);
    const QString backup = m_home->appFolder() + QStringLiteral("Backup-late.") + format;
    writeFile(backup, "an older backup");
    const QByteArray before = readFile(book);
    const QStringList messages = fill(book);
    QCOMPARE(messages, QStringList{QStringLiteral("Error|Unable to analyze spreadsheet \r\n") + book});
    QCOMPARE(readFile(book), before);
    QCOMPARE(readFile(backup), QByteArray("an older backup"));
    QCOMPARE(QDir(QFileInfo(book).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(book).fileName()});
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
    // An empty value empties its marker's cell: the record holds no marker.
    QVERIFY(fill(book, 1, 1, {QString(), QStringLiteral("Rome")}).isEmpty());
    QCOMPARE(readRows(book, 4, 2).mid(2), (QStringList{QStringLiteral(",Rome"), QStringLiteral("&Name&,&City&")}));
}

void TestCalcEngine::missingWorksheetLeavesFile()
{
    QFETCH(QString, format);
    const QString book = copyOf(QStringLiteral("row"), format);
    const QByteArray before = readFile(book);
    QCOMPARE(fill(book, 3), QStringList{QStringLiteral("Problem|The workbook has no worksheet number 3 while setting "
                                                       "sheet to  3")});
    QCOMPARE(readFile(book), before);
}

void TestCalcEngine::relativeHyperlinksStay_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("xlsx") << QStringLiteral("xlsx");
    QTest::newRow("ods") << QStringLiteral("ods");
}

void TestCalcEngine::relativeHyperlinksStay()
{
    QFETCH(QString, format);
    // The workbook links to notes/ann.txt beside it, in a folder deeper
    // than the app folder, where a link made relative to the app folder
    // reads differently.
    const QString book = m_home->path() + QStringLiteral("records/2026/links.") + format;
    writeFile(book, readFile(QStringLiteral(QLT_WORKBOOKS_DIR "links.") + format));
    writeFile(m_home->path() + QStringLiteral("records/2026/notes/ann.txt"), "notes on Ann");
    const QStringList before = hyperlinks(book);
    QCOMPARE(before.size(), 1);
    QVERIFY2(before.first().endsWith(QStringLiteral("notes/ann.txt")) && !before.first().contains(QStringLiteral("2026")),
             qPrintable(before.first()));
    QVERIFY(fill(book, 1, 2, {QStringLiteral("Bob"), QStringLiteral("Paris")}).isEmpty());
    QCOMPARE(hyperlinks(book), before);
    QCOMPARE(readRows(book, 5, 3), (QStringList{QStringLiteral("Name,City,File"), QStringLiteral("Ann,Rome,notes"),
                                                 QStringLiteral("Bob,Paris,"), QStringLiteral("Bob,Paris,"),
                                                 QStringLiteral("&Name&,&City&,")}));
}

void TestCalcEngine::workbookOpenInAnOfficeIsRefused()
{
    const QString book = copyOf(QStringLiteral("row"), QStringLiteral("ods"));
    const QString backup = m_home->appFolder() + QStringLiteral("Backup-row.ods");
    writeFile(backup, "an older backup");
    const QByteArray before = readFile(book);
    const QString lockFile = QFileInfo(book).absolutePath() + QStringLiteral("/.~lock.row.ods#");

    // The user's own office edits the workbook.
    QTemporaryDir profile;
    UsersOffice office(book, profile.path());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockFile) && office.holdsLock(), 120000);
    const QString expectedEnd = QStringLiteral(" while setting xlbook to ") + book;
    QStringList messages = fill(book);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("Problem|The workbook is open in an office (lock file ") + lockFile
                                         + QStringLiteral(", "))
                 && messages.first().endsWith(expectedEnd),
             qPrintable(messages.first()));
    QCOMPARE(readFile(book), before);
    QCOMPARE(readFile(backup), QByteArray("an older backup"));

    // Without its lock file, the office that has the workbook open still tells.
    QVERIFY(QFile::remove(lockFile));
    messages = fill(book);
    QCOMPARE(messages, QStringList{QStringLiteral("Problem|The workbook is held open by soffice.bin (process %1)")
                                       .arg(office.lockHolder())
                                   + expectedEnd});
    QCOMPARE(readFile(book), before);
    QCOMPARE(readFile(backup), QByteArray("an older backup"));
    QCOMPARE(QDir(QFileInfo(book).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("row.ods")});
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
    const QString csv = m_home->path() + QStringLiteral("office.csv");
    writeFile(csv, "Name,City\n&Name&,&City&\n");
    auto application = office()->createApplication(csv);
    QVERIFY2(application.ok(), qPrintable(application.error()));
    auto book = (*application)->open(csv);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    auto sheet = (*book)->worksheet(1);
    QVERIFY2(sheet.ok(), qPrintable(sheet.error()));
    QCOMPARE((*sheet)->cellText(2, 2).value(), QStringLiteral("&City&"));
    QVERIFY((*sheet)->setCellText(3, 1, QStringLiteral("Ann")).ok());
    const QString out = m_home->path() + QStringLiteral("office-out.csv");
    QVERIFY((*book)->saveAs(out).ok());
    QVERIFY((*book)->close().ok());
    QVERIFY(readFile(out).startsWith("Name,City\n&Name&,&City&\nAnn"));
}

QTEST_MAIN(TestCalcEngine)
#include "tst_calcengine.moc"
