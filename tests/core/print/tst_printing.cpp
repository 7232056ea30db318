#include "ui/fill/confirmform.h"
#include "core/render/rtfreader.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QMap>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

// Prints through a real CUPS spooler whose one printer writes PDF files;
// the test script starts it and says where the files land.
class TestPrinting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }
    void printsFilledSampleDocument_data();
    void printsFilledSampleDocument();
    void officeThatCannotPrintIsAProblem_data();
    void officeThatCannotPrintIsAProblem();
    void fasterPrintsEachKindOfFile_data();
    void fasterPrintsEachKindOfFile();
    void queueThatRejectsOrIsStopped_data();
    void queueThatRejectsOrIsStopped();

private:
    // Each job file with its time: a restarted spooler numbers its jobs anew.
    QMap<QString, QDateTime> jobs() const
    {
        QMap<QString, QDateTime> result;
        for (const QFileInfo &fi : QDir(m_out).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
            result.insert(fi.fileName(), fi.lastModified());
        return result;
    }
    QString newJob(const QMap<QString, QDateTime> &before) const
    {
        const auto now = jobs();
        for (auto it = now.begin(); it != now.end(); ++it)
            if (before.value(it.key()) != it.value())
                return it.key();
        return QString();
    }
    QString m_out;
    Workspace m_workspace; // the workspace the windows are handed
};

void TestPrinting::initTestCase()
{
    m_out = qEnvironmentVariable("QLT_TEST_PRINT_OUT");
    if (m_out.isEmpty())
        QSKIP("no test print spooler (scripts/test.sh starts one)");
}

void TestPrinting::printsFilledSampleDocument_data()
{
    QTest::addColumn<bool>("faster");
    QTest::addColumn<QString>("extension");
    QTest::newRow("faster") << true << QStringLiteral(".rtf");
    QTest::newRow("higher quality") << false << QStringLiteral(".rtf");
    // Packages always go through the office, whichever method is chosen.
    QTest::newRow(".docx, faster") << true << QStringLiteral(".docx");
    QTest::newRow(".odt, higher quality") << false << QStringLiteral(".odt");
}

void TestPrinting::printsFilledSampleDocument()
{
    QFETCH(bool, faster);
    QFETCH(QString, extension);
    TestHome home;
    for (const QString &f : {QStringLiteral("Sample Model.mod"), QStringLiteral("Sample Doc") + extension})
        QVERIFY(TestHome::copyData(f, home.appFolder()));
    MainForm *main = startProgram(m_workspace);
    const QStringList values{QStringLiteral("Ann"), QStringLiteral("Zebrowski"), QStringLiteral("12 Quill Lane"),
                             QStringLiteral("Lisbon"), QStringLiteral("7 December")};
    for (int i = 1; i <= values.size(); ++i)
        setEntryText(main, i, values[i - 1]);
    const auto before = jobs();

    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    child<QCheckBox>(confirm, QStringLiteral("chkSave_2"))->setChecked(false); // not the spreadsheet
    child<QRadioButton>(confirm, faster ? QStringLiteral("Option1") : QStringLiteral("Option2"))->setChecked(true);
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("temprtf") + extension));

    QTRY_VERIFY_WITH_TIMEOUT(!newJob(before).isEmpty(), 30000);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QDir(m_out).filePath(newJob(before)), QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const QString &v : values)
        QVERIFY2(text.contains(v), qPrintable(v + QStringLiteral(" missing from:\n") + text));
    QVERIFY2(!text.contains(QLatin1Char('&')), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Welcome to Quillmate")));
    QVERIFY(!text.contains(QLatin1Char('\\')));
}

void TestPrinting::officeThatCannotPrintIsAProblem_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("extension");
    QTest::newRow("rich text, higher quality") << QStringLiteral("Option2") << QStringLiteral(".rtf");
    QTest::newRow(".docx, faster") << QStringLiteral("Option1") << QStringLiteral(".docx");
    QTest::newRow(".odt, higher quality") << QStringLiteral("Option2") << QStringLiteral(".odt");
}

void TestPrinting::officeThatCannotPrintIsAProblem()
{
    QFETCH(QString, option);
    QFETCH(QString, extension);
    TestHome home;
    QVERIFY(TestHome::copyData(QStringLiteral("Sample Doc") + extension, home.appFolder()));
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), " 1 \r\nCity\r\n 1 \r\nSample Doc\r\n 0 \r\n");
    MainForm *main = startProgram(m_workspace);
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    child<QRadioButton>(confirm, option)->setChecked(true);
    // As on a machine without an office suite that can print.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(home.path()));
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    qputenv("PATH", path);
    QCOMPARE(Ask::records().size(), 1);
    QCOMPARE(lastTitle(), QStringLiteral("Problem"));
    QCOMPARE(lastMessage(), QStringLiteral("No office program that can print is installed while printing Sample Doc"));
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("temprtf") + extension));
}

void TestPrinting::fasterPrintsEachKindOfFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("pages"); // text each printed page must show
    QTest::addColumn<QString>("paper");     // as pdfinfo gives it
    QTest::newRow("rich text, Letter landscape, header")
        << QStringLiteral("Letter.rtf")
        << QByteArray("{\\rtf1\\paperw15840\\paperh12240\\landscape\\margl720{\\header\\pard Head &City&\\par}"
                      "\\pard Body &City&\\page Page two\\par}")
        << QStringList{QStringLiteral("Head Lisbon\nBody Lisbon"), QStringLiteral("Head Lisbon\nPage two")}
        << QStringLiteral("792 x 612 pts");
    QTest::newRow("html rendered") << QStringLiteral("Letter.htm")
                                   << QByteArray("<html><body><p>Dear <b>&amp;City&amp;</b> caf&eacute;</p></body></html>")
                                   << QStringList{QString::fromUtf8("Dear Lisbon café")} << QString();
    QTest::newRow("text as it is") << QStringLiteral("Letter.txt") << QByteArray("Dear <b>&City&</b>\r\n")
                                   << QStringList{QStringLiteral("Dear <b>Lisbon</b>")} << QString();
}

void TestPrinting::fasterPrintsEachKindOfFile()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, pages);
    QFETCH(QString, paper);
    TestHome home;
    QVERIFY(writeFile(home.appFolder() + file, content));
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), " 1 \r\nCity\r\n 1 \r\nLetter\r\n 0 \r\n");
    MainForm *main = startProgram(m_workspace);
    setEntryText(main, 1, QStringLiteral("Lisbon"));
    const auto before = jobs();
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    child<QRadioButton>(confirm, QStringLiteral("Option1"))->setChecked(true);
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));

    QTRY_VERIFY_WITH_TIMEOUT(!newJob(before).isEmpty(), 30000);
    const QString pdf = QDir(m_out).filePath(newJob(before));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished(30000));
    const QString details = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(details.contains(QStringLiteral("Pages:           %1\n").arg(pages.size())), qPrintable(details));
    if (!paper.isEmpty())
        QVERIFY2(details.contains(paper), qPrintable(details));
    for (int page = 1; page <= pages.size(); ++page) {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                                      QString::number(page), pdf, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains(pages[page - 1]), qPrintable(text));
    }
}

namespace {
bool queueCommand(const QString &command)
{
    return QProcess::execute(command, {QStringLiteral("QuillmatePDF")}) == 0;
}
} // namespace

// A printer that rejects jobs gets none and says so; a stopped one keeps the
// job in its queue, which is printed once the printer is started again.
void TestPrinting::queueThatRejectsOrIsStopped_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("queueState"); // the command that sets it
    QTest::newRow("faster, rejecting") << QStringLiteral("Option1") << QStringLiteral("cupsreject");
    QTest::newRow("higher quality, rejecting") << QStringLiteral("Option2") << QStringLiteral("cupsreject");
    QTest::newRow("faster, stopped") << QStringLiteral("Option1") << QStringLiteral("cupsdisable");
    QTest::newRow("higher quality, stopped") << QStringLiteral("Option2") << QStringLiteral("cupsdisable");
}

void TestPrinting::queueThatRejectsOrIsStopped()
{
    QFETCH(QString, option);
    QFETCH(QString, queueState);
    TestHome home;
    QVERIFY(writeFile(home.appFolder() + QStringLiteral("Letter.rtf"), "{\\rtf1\\ansi Dear &City&\\par}"));
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), " 1 \r\nCity\r\n 1 \r\nLetter\r\n 0 \r\n");
    MainForm *main = startProgram(m_workspace);
    setEntryText(main, 1, QStringLiteral("Lisbon"));
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    child<QRadioButton>(confirm, option)->setChecked(true);
    const auto before = jobs();
    QVERIFY(queueCommand(queueState));
    struct Restore {
        ~Restore()
        {
            queueCommand(QStringLiteral("cupsaccept"));
            queueCommand(QStringLiteral("cupsenable"));
        }
    } restore;
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    if (queueState == QStringLiteral("cupsreject")) {
        QCOMPARE(Ask::records().size(), 1);
        QCOMPARE(lastTitle(), QStringLiteral("Problem"));
        QVERIFY2(lastMessage().startsWith(QStringLiteral("The printer QuillmatePDF does not accept jobs")),
                 qPrintable(lastMessage()));
        QVERIFY2(lastMessage().endsWith(QStringLiteral(" while printing Letter")), qPrintable(lastMessage()));
        return;
    }
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QVERIFY(newJob(before).isEmpty()); // held while the printer is stopped
    QVERIFY(queueCommand(QStringLiteral("cupsenable")));
    QTRY_VERIFY_WITH_TIMEOUT(!newJob(before).isEmpty(), 30000);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
