#include "ui/dialogs/waitform.h"
#include "ui/fill/confirmform.h"
#include "core/fill/engines.h"
#include "core/fill/officesession.h"
#include "core/render/pdfcopy.h"
#include "tests/core/fill/packagetools.h"
#include "tests/core/fill/officetools.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QMap>
#include <QPushButton>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <csignal>

// The one office of a confirmation window: started ahead when a run may
// need it, shared by every office item of its runs, ended with the window
// and with the program.
class TestOfficeSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }
    void oneOfficeServesEveryItemOfTheRuns();
    void runWithoutOfficeItemsNeverStartsIt_data();
    void runWithoutOfficeItemsNeverStartsIt();
    void startsAheadAndEndsWithTheWindow_data();
    void startsAheadAndEndsWithTheWindow();
    void endsWhenTheProgramIsKilled();
    void aCrashedOfficeIsReplaced_data();
    void aCrashedOfficeIsReplaced();
    void pdfCopiesOfPackagesThroughTheSession();
    void withoutTheModuleEverythingGoesAsBefore();

private:
    // A model of fields Name and City over the given documents and
    // workbooks, in a fresh home; the window opened on it.
    QWidget *openConfirm(TestHome &home, const QStringList &docs, const QStringList &sheets);
    QStringList printedTexts(const QMap<QString, QDateTime> &before) const;
    QMap<QString, QDateTime> jobs() const;
    Workspace m_workspace; // the workspace the windows are handed
};

QWidget *TestOfficeSession::openConfirm(TestHome &home, const QStringList &docs, const QStringList &sheets)
{
    QByteArray model = " 2 \r\nName\r\nCity\r\n " + QByteArray::number(docs.size()) + " \r\n";
    for (const QString &doc : docs) {
        const QString name = QFileInfo(doc).completeBaseName();
        model += name.toUtf8() + "\r\n";
        const QByteArray text = doc.endsWith(QStringLiteral(".rtf"))
            ? "{\\rtf1\\ansi " + name.toUtf8() + " for &Name& in &City&\\par}"
            : name.toUtf8() + " for &Name& in &City&\r\n";
        writeFile(home.appFolder() + doc, text);
    }
    model += " " + QByteArray::number(sheets.size()) + " \r\n";
    for (const QString &sheet : sheets) {
        const QString path = home.path() + sheet;
        if (sheet.endsWith(QStringLiteral(".csv")))
            writeFile(path, "Name,City\r\n&Name&,&City&\r\n");
        else
            writeFile(path, readFile(QStringLiteral(QLT_WORKBOOKS_DIR) + sheet));
        model += path.toUtf8() + "\r\n 1 \r\n";
    }
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), model);
    MainForm *main = startProgram(m_workspace);
    setEntryText(main, 1, QStringLiteral("Ann"));
    setEntryText(main, 2, QStringLiteral("Rome"));
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    return topWindow("ConfirmForm");
}

QMap<QString, QDateTime> TestOfficeSession::jobs() const
{
    QMap<QString, QDateTime> result;
    const QString out = qEnvironmentVariable("QLT_TEST_PRINT_OUT");
    for (const QFileInfo &fi : QDir(out).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        result.insert(fi.filePath(), fi.lastModified());
    return result;
}

// The text of every job printed since `before`, sorted.
QStringList TestOfficeSession::printedTexts(const QMap<QString, QDateTime> &before) const
{
    QStringList texts;
    const auto now = jobs();
    for (auto it = now.begin(); it != now.end(); ++it) {
        if (before.value(it.key()) == it.value())
            continue;
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {it.key(), QStringLiteral("-")});
        pdftotext.waitForFinished(30000);
        texts << QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    }
    texts.sort();
    return texts;
}

void TestOfficeSession::oneOfficeServesEveryItemOfTheRuns()
{
    if (qEnvironmentVariableIsEmpty("QLT_TEST_PRINT_OUT"))
        QSKIP("no test print spooler (scripts/test.sh starts one)");
    TestHome home;
    const int launched = OfficeSession::officeLaunches();
    const auto before = jobs();
    QWidget *confirm = openConfirm(home, {QStringLiteral("Letter A.rtf"), QStringLiteral("Letter B.rtf")},
                                   {QStringLiteral("row.xls")});
    QVERIFY(confirm);
    child<QRadioButton>(confirm, QStringLiteral("Option2"))->setChecked(true);
    // What the wait window says, each time the run lets events through.
    QStringList captions;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&captions] {
        WaitForm *wait = WaitForm::existing();
        const auto *action = child<QLabel>(wait, QStringLiteral("lblAction"));
        const QString caption = action ? action->text() : QString();
        if (wait && wait->isVisible() && (captions.isEmpty() || captions.last() != caption))
            captions << caption;
    });
    watch.start(5);
    // At once: the office started with the window is not ready yet.
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QVERIFY2(captions.count(QStringLiteral("Starting the office")) == 1, qPrintable(captions.join(QLatin1Char('|'))));
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    // The second run found it ready.
    QCOMPARE(captions.count(QStringLiteral("Starting the office")), 1);
    QCOMPARE(OfficeSession::officeLaunches() - launched, 1);
    QCOMPARE(ourOffices(), 1);

    const QString a = QStringLiteral("Letter A for Ann in Rome");
    const QString b = QStringLiteral("Letter B for Ann in Rome");
    QTRY_COMPARE_WITH_TIMEOUT(printedTexts(before), (QStringList{a, a, b, b}), 60000);
    // Not one print program per document: that one has a profile of its own.
    QVERIFY(!QFileInfo::exists(qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/Quillmate/office-print-profile")));
    confirm->close();
    QCOMPARE(ourOffices(), 0);
    QCOMPARE(exportedRows(home.path() + QStringLiteral("row.xls"), 4, 2, home.path()),
             (QStringList{QStringLiteral("Name,City"), QStringLiteral("Ann,Rome"), QStringLiteral("Ann,Rome"),
                          QStringLiteral("&Name&,&City&")}));
}

void TestOfficeSession::runWithoutOfficeItemsNeverStartsIt_data()
{
    QTest::addColumn<QStringList>("docs");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<bool>("print");
    QTest::newRow(".csv") << QStringList{} << QStringList{QStringLiteral("row.csv")} << false;
    QTest::newRow(".xlsx and .ods") << QStringList{} << QStringList{QStringLiteral("row.xlsx"), QStringLiteral("row.ods")}
                                    << false;
    QTest::newRow("rich text saved, Faster") << QStringList{QStringLiteral("Letter.rtf")} << QStringList{} << false;
    if (!qEnvironmentVariableIsEmpty("QLT_TEST_PRINT_OUT"))
        QTest::newRow("rich text printed, Faster") << QStringList{QStringLiteral("Letter.rtf")} << QStringList{} << true;
}

void TestOfficeSession::runWithoutOfficeItemsNeverStartsIt()
{
    QFETCH(QStringList, docs);
    QFETCH(QStringList, sheets);
    QFETCH(bool, print);
    TestHome home;
    const int launched = OfficeSession::officeLaunches();
    QWidget *confirm = openConfirm(home, docs, sheets);
    QVERIFY(confirm);
    for (int n = 1; n <= docs.size(); ++n) {
        child<QCheckBox>(confirm, QStringLiteral("chkPrint_%1").arg(n))->setChecked(print);
        child<QCheckBox>(confirm, QStringLiteral("chkSave_%1").arg(n))->setChecked(true);
    }
    child<QLineEdit>(confirm, QStringLiteral("txtSaveName"))->setText(QStringLiteral("S"));
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    for (const QString &sheet : sheets)
        QVERIFY(QFileInfo::exists(home.appFolder() + QStringLiteral("Backup-") + sheet));
    confirm->close();
    QCOMPARE(OfficeSession::officeLaunches(), launched);
    QCOMPARE(ourOffices(), 0);
}

void TestOfficeSession::startsAheadAndEndsWithTheWindow_data()
{
    QTest::addColumn<QStringList>("docs");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<bool>("higherQuality"); // chosen after the window opened
    QTest::newRow(".xls, when the window opens") << QStringList{} << QStringList{QStringLiteral("row.xls")} << false;
    QTest::newRow(".docx, when the window opens") << QStringList{QStringLiteral("Letter.docx")} << QStringList{}
                                                  << false;
    QTest::newRow("rich text, when Higher quality is chosen")
        << QStringList{QStringLiteral("Letter.rtf")} << QStringList{} << true;
}

void TestOfficeSession::startsAheadAndEndsWithTheWindow()
{
    QFETCH(QStringList, docs);
    QFETCH(QStringList, sheets);
    QFETCH(bool, higherQuality);
    TestHome home;
    QWidget *confirm = openConfirm(home, docs, sheets);
    QVERIFY(confirm);
    QCOMPARE(ourOffices(), higherQuality ? 0 : 1);
    if (higherQuality)
        QTest::mouseClick(child<QRadioButton>(confirm, QStringLiteral("Option2")), Qt::LeftButton);
    QCOMPARE(ourOffices(), 1);
    // The start does not hold up the window: it closes at once, and the
    // office goes with it.
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command2")), Qt::LeftButton);
    QVERIFY(!topWindow("ConfirmForm"));
    QCOMPARE(ourOffices(), 0);
}

void TestOfficeSession::endsWhenTheProgramIsKilled()
{
    TestHome home;
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(QLT_OFFICE_PROBE), QStringList{});
    QVERIFY(program.waitForStarted());
    QByteArray said;
    QTRY_VERIFY2_WITH_TIMEOUT((said += program.readAll()).contains("ready"), said.constData(), 60000);
    const qint64 pid = program.processId();
    QCOMPARE(officesOf(pid), 1);
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    QVERIFY(program.waitForFinished());
    QTRY_COMPARE_WITH_TIMEOUT(officesOf(pid), 0, 10000);
}

void TestOfficeSession::aCrashedOfficeIsReplaced_data()
{
    QTest::addColumn<bool>("afterARun");
    QTest::newRow("killed after a run") << true;
    QTest::newRow("killed once started ahead, before the first run") << false;
}

void TestOfficeSession::aCrashedOfficeIsReplaced()
{
    QFETCH(bool, afterARun);
    TestHome home;
    QWidget *confirm = openConfirm(home, {}, {QStringLiteral("row.xls")});
    QVERIFY(confirm);
    QPushButton *ok = child<QPushButton>(confirm, QStringLiteral("Command1"));
    if (afterARun) {
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(officeListens(QCoreApplication::applicationPid()), 60000);
    }
    const QList<qint64> offices = officeProcessesOf(QCoreApplication::applicationPid());
    QCOMPARE(offices.size(), 1);
    // OK at once: the system may not have reported the office's end yet,
    // but it answers no more.
    ::kill(static_cast<pid_t>(offices.first()), SIGKILL);
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QCOMPARE(officeProcessesOf(QCoreApplication::applicationPid()).size(), 1);
    QVERIFY(officeProcessesOf(QCoreApplication::applicationPid()).first() != offices.first());
    if (!afterARun) {
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    }
    confirm->close();
    QCOMPARE(ourOffices(), 0);
    QCOMPARE(exportedRows(home.path() + QStringLiteral("row.xls"), 4, 2, home.path()),
             (QStringList{QStringLiteral("Name,City"), QStringLiteral("Ann,Rome"), QStringLiteral("Ann,Rome"),
                          QStringLiteral("&Name&,&City&")}));
}

namespace {
class QuietRun : public RunContext {
public:
    QStringList captions;
    void showWait(const QString &caption) override { captions << caption; }
    QString fieldValue(int) const override { return QString(); }
};
} // namespace

void TestOfficeSession::pdfCopiesOfPackagesThroughTheSession()
{
    TestHome home;
    QStringList letters;
    for (const char *name : {"Ann", "Bob"}) {
        const QString rtf = home.path() + QStringLiteral("S-%1.rtf").arg(QLatin1String(name));
        writeFile(rtf, QByteArray("{\\rtf1\\ansi Dear ") + name + " of Caf\\'e9\\par}");
        letters << rtf;
    }
    QVERIFY(PackageTools::officeConvert(letters, QStringLiteral("odt"), home.path()));
    const int launched = OfficeSession::officeLaunches();
    OfficeSession session;
    QuietRun run;
    for (const char *name : {"Ann", "Bob"}) {
        const QString odt = home.path() + QStringLiteral("S-%1.odt").arg(QLatin1String(name));
        const Status copied = PdfCopy::saveBeside(odt, &session, &run);
        QVERIFY2(copied.ok(), qPrintable(copied.error()));
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {PdfCopy::pdfPathFor(odt), QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("Dear %1 of Café").arg(QLatin1String(name))), qPrintable(text));
    }
    // Started by the first copy, which waited for it; the second found it ready.
    QCOMPARE(run.captions, QStringList{QStringLiteral("Starting the office")});
    QCOMPARE(OfficeSession::officeLaunches() - launched, 1);
    QVERIFY(!QFileInfo::exists(qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/Quillmate/office-export-profile")));
    // A document that is gone is that item's failure, and the office stays
    // for the next.
    const Status missing = PdfCopy::saveBeside(home.path() + QStringLiteral("S-Bad.odt"), &session, &run);
    QVERIFY(!missing.ok());
    QVERIFY(!missing.error().isEmpty());
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("S-Bad.pdf")));
    QCOMPARE(ourOffices(), 1);
}

// Run by its own test entry, with the module pointed at nothing.
void TestOfficeSession::withoutTheModuleEverythingGoesAsBefore()
{
    if (QFileInfo::exists(SystemEngines::calcModulePath()))
        QSKIP("the module is there (the entry without it runs this)");
    if (qEnvironmentVariableIsEmpty("QLT_TEST_PRINT_OUT"))
        QSKIP("no test print spooler (scripts/test.sh starts one)");
    TestHome home;
    const auto before = jobs();
    QWidget *confirm = openConfirm(home, {QStringLiteral("Letter.rtf")}, {QStringLiteral("row.xls")});
    QVERIFY(confirm);
    child<QRadioButton>(confirm, QStringLiteral("Option2"))->setChecked(true);
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    // The workbook: the message of a machine without the office module.
    QCOMPARE(Ask::records().size(), 1);
    QCOMPARE(lastTitle(), QStringLiteral("Problem"));
    QVERIFY2(lastMessage().startsWith(QStringLiteral("LibreOffice is not installed (")), qPrintable(lastMessage()));
    QVERIFY2(lastMessage().endsWith(QStringLiteral(") while creating spreadsheet object")), qPrintable(lastMessage()));
    // The print: the office's own print command, one per document.
    QTRY_COMPARE_WITH_TIMEOUT(printedTexts(before), QStringList{QStringLiteral("Letter for Ann in Rome")}, 60000);
    QVERIFY(QFileInfo::exists(qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/Quillmate/office-print-profile")));
    QCOMPARE(ourOffices(), 0);
}

QTEST_MAIN(TestOfficeSession)
#include "tst_officesession.moc"
