#include "core/fill/sheetfill.h"
#include "tests/core/fill/fakesheet.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

// The fill of one spreadsheet against a scripted application, to show what
// happens when a step fails.
namespace {
struct Script {
    QStringList rows{QStringLiteral("Name,City"), QStringLiteral("&Name&,&City&")};
    bool failWrite = false;
    bool failClose = false;
    bool saveWritesNothing = false;
    bool failCreate = false;
    int closes = 0;
    int saves = 0;
    int opens = 0;
    QString savedAs;
};

class ScriptedBook : public Sheets::Workbook {
public:
    explicit ScriptedBook(Script &s) : m_script(s), m_sheet(s.rows) {}
    Result<Sheets::Worksheet *> worksheet(int position) override
    {
        if (position != 1)
            return Failure{Sheets::noSuchWorksheet(position)};
        return static_cast<Sheets::Worksheet *>(&m_failing);
    }
    Status saveAs(const QString &path) override
    {
        ++m_script.saves;
        m_script.savedAs = path;
        if (!m_script.saveWritesNothing)
            writeFile(path, "filled");
        return {};
    }
    Status close() override
    {
        ++m_script.closes;
        if (m_script.failClose)
            return Failure{QStringLiteral("Close failed")};
        return {};
    }

private:
    class Failing : public Sheets::Worksheet {
    public:
        explicit Failing(ScriptedBook &b) : m_book(b) {}
        Result<QString> cellText(int r, int c) override { return m_book.m_sheet.cellText(r, c); }
        Status setCellText(int r, int c, const QString &t) override
        {
            if (m_book.m_script.failWrite)
                return Failure{QStringLiteral("Write refused")};
            return m_book.m_sheet.setCellText(r, c, t);
        }

    private:
        ScriptedBook &m_book;
    };
    Script &m_script;
    FakeSheet m_sheet;
    Failing m_failing{*this};
};

class ScriptedEngines : public Sheets::Engines, public Sheets::Application {
public:
    explicit ScriptedEngines(Script &s) : m_script(s) {}
    Result<std::unique_ptr<Sheets::Application>> createApplication(const QString &) override
    {
        if (m_script.failCreate)
            return Failure{QStringLiteral("LibreOffice Calc is not installed")};
        return std::unique_ptr<Sheets::Application>(std::make_unique<Forward>(*this));
    }
    Result<std::unique_ptr<Sheets::Workbook>> open(const QString &) override
    {
        ++m_script.opens;
        return std::unique_ptr<Sheets::Workbook>(std::make_unique<ScriptedBook>(m_script));
    }

private:
    struct Forward : Sheets::Application {
        explicit Forward(ScriptedEngines &e) : engines(e) {}
        Result<std::unique_ptr<Sheets::Workbook>> open(const QString &p) override { return engines.open(p); }
        ScriptedEngines &engines;
    };
    Script &m_script;
};

class FakeRun : public RunContext {
public:
    void showWait(const QString &caption) override { waits << caption; }
    QString fieldValue(int) const override { return QStringLiteral("v"); }
    QStringList waits;
};

// The workbook as the user left it: its content is "previous".
QString previousBook(const TestHome &home)
{
    const QString book = home.path() + QStringLiteral("Book.xls");
    writeFile(book, "previous");
    return book;
}

// Another process that has a file open, as an office has the document it
// edits, until it is destroyed.
class LockHolder {
public:
    enum Hold { Locked, OpenForWriting, OpenForReading };
    LockHolder(const QString &path, Hold hold)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_release) != 0)
            qFatal("pipe");
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(QFile::encodeName(path).constData(), hold == OpenForReading ? O_RDONLY : O_RDWR);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            const char ok = fd >= 0 && (hold != Locked || ::fcntl(fd, F_SETLK, &lock) == 0) ? 'y' : 'n';
            ::close(m_release[1]);
            char c;
            if (::write(ready[1], &ok, 1) == 1)
                while (::read(m_release[0], &c, 1) > 0) {
                }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(m_release[0]);
        char ok = 'n';
        if (::read(ready[0], &ok, 1) != 1 || ok != 'y')
            qFatal("the lock could not be taken");
        ::close(ready[0]);
    }
    ~LockHolder()
    {
        ::close(m_release[1]);
        ::waitpid(m_pid, nullptr, 0);
    }
    pid_t pid() const { return m_pid; }

private:
    int m_release[2] = {-1, -1};
    pid_t m_pid = 0;
};

QStringList run(Script &script, const QString &path, const QString &appFolder, FakeRun &r)
{
    QStringList messages;
    ScriptedEngines engines(script);
    SheetFill::ProcessSpreadsheet({path, 1}, appFolder, {QStringLiteral("Name")}, r, engines,
                                  [&messages](const QString &text, const QString &title) {
                                      messages << title + QLatin1Char('|') + text;
                                  });
    return messages;
}
} // namespace

class TestSheetRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stepsOfASuccessfulFill();
    void failedWriteClosesWithoutSaving();
    void failingCloseIsNotRetried();
    void failedSwapLeavesThePreviousWorkbook();
    void missingApplicationIsAProblem();
    void refusedFillTouchesNoFile_data();
    void refusedFillTouchesNoFile();
    void readersDoNotHoldTheWorkbook();
    void filledWorkbookKeepsPermissionsAndLink();
};

void TestSheetRun::stepsOfASuccessfulFill()
{
    TestHome home;
    const QString book = previousBook(home);
    Script script;
    FakeRun r;
    QVERIFY(run(script, book, home.appFolder(), r).isEmpty());
    QCOMPARE(r.waits, QStringList{QStringLiteral("Modifying Book.xls")});
    QCOMPARE(readFile(book), QByteArray("filled"));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Backup-Book.xls")), QByteArray("previous"));
    // The copy is saved beside the workbook, so its relative links hold.
    const QString temp = home.path() + QStringLiteral("Temp-Book.xls.") + QString::number(QCoreApplication::applicationPid());
    QCOMPARE(script.savedAs, temp);
    QVERIFY(!QFileInfo::exists(script.savedAs));
    QCOMPARE(QDir(home.appFolder()).entryList(QDir::Files), QStringList{QStringLiteral("Backup-Book.xls")});
    QCOMPARE(script.closes, 1);
    QCOMPARE(r.stepText, QStringLiteral("renaming ") + temp + QStringLiteral(" As ") + book);
    QCOMPARE(r.runStage, RunStage::Spreadsheet);
}

void TestSheetRun::failedWriteClosesWithoutSaving()
{
    TestHome home;
    const QString book = previousBook(home);
    Script script;
    script.failWrite = true;
    FakeRun r;
    QCOMPARE(run(script, book, home.appFolder(), r),
             QStringList{QStringLiteral("Problem|Write refused while modifying ") + book});
    QCOMPARE(script.saves, 0);
    QCOMPARE(script.closes, 1);
    QCOMPARE(readFile(book), QByteArray("previous"));
    QCOMPARE(QDir(home.appFolder()).entryList(QDir::Files), QStringList());
}

void TestSheetRun::failingCloseIsNotRetried()
{
    TestHome home;
    const QString book = previousBook(home);
    Script script;
    script.failClose = true;
    FakeRun r;
    QCOMPARE(run(script, book, home.appFolder(), r), QStringList{QStringLiteral("Problem|Close failed while closing ") + book});
    QCOMPARE(script.closes, 1);
    // The copy was saved, but without a clean close nothing is swapped in.
    QCOMPARE(readFile(book), QByteArray("previous"));
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("Backup-Book.xls")));
}

void TestSheetRun::failedSwapLeavesThePreviousWorkbook()
{
    TestHome home;
    const QString book = previousBook(home);
    Script script;
    script.saveWritesNothing = true; // the temporary copy is not there to move
    FakeRun r;
    const QStringList messages = run(script, book, home.appFolder(), r);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().startsWith(QStringLiteral("Problem|")));
    QVERIFY(messages.first().endsWith(QStringLiteral(" while renaming ") + home.path() + QStringLiteral("Temp-Book.xls.")
                                      + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(" As ") + book));
    QCOMPARE(readFile(book), QByteArray("previous"));
}

void TestSheetRun::missingApplicationIsAProblem()
{
    TestHome home;
    const QString book = previousBook(home);
    Script script;
    script.failCreate = true;
    FakeRun r;
    QCOMPARE(run(script, book, home.appFolder(), r),
             QStringList{QStringLiteral("Problem|LibreOffice Calc is not installed while creating spreadsheet object")});
    QCOMPARE(r.runStage, RunStage::Spreadsheet);
    QCOMPARE(readFile(book), QByteArray("previous"));
}

void TestSheetRun::refusedFillTouchesNoFile_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::newRow("lock file") << QStringLiteral("lock file");
    QTest::newRow("locked by a process") << QStringLiteral("locked");
    QTest::newRow("open for writing in a process") << QStringLiteral("open");
    QTest::newRow("read-only") << QStringLiteral("read-only");
}

void TestSheetRun::refusedFillTouchesNoFile()
{
    QFETCH(QString, refusal);
    TestHome home;
    const QString book = previousBook(home);
    const QString backup = home.appFolder() + QStringLiteral("Backup-Book.xls");
    writeFile(backup, "an older backup");
    QString expected;
    std::unique_ptr<LockHolder> holder;
    if (refusal == QStringLiteral("lock file")) {
        // As LibreOffice writes it while the workbook is open there.
        const QString lockFile = home.path() + QStringLiteral(".~lock.Book.xls#");
        writeFile(lockFile, "Ann Smith,ann,desk7,07.12.2026 10:26,file:///home/ann/.config/libreoffice/4;");
        expected = QStringLiteral("The workbook is open in an office (lock file ") + lockFile
            + QStringLiteral(", Ann Smith on desk7 since 07.12.2026 10:26)");
    } else if (refusal == QStringLiteral("locked") || refusal == QStringLiteral("open")) {
        holder = std::make_unique<LockHolder>(book, refusal == QStringLiteral("locked") ? LockHolder::Locked
                                                                                        : LockHolder::OpenForWriting);
        expected = QStringLiteral("The workbook is held open by tst_sheetrun (process %1)").arg(holder->pid());
    } else {
        QVERIFY(QFile::setPermissions(book, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        expected = QStringLiteral("The workbook is read-only");
    }
    const QStringList before = QDir(home.path()).entryList(QDir::Files | QDir::Hidden);
    Script script;
    FakeRun r;
    QCOMPARE(run(script, book, home.appFolder(), r), QStringList{QStringLiteral("Problem|") + expected
                                                                 + QStringLiteral(" while setting xlbook to ") + book});
    QCOMPARE(script.opens, 0);
    QCOMPARE(readFile(book), QByteArray("previous"));
    QCOMPARE(readFile(backup), QByteArray("an older backup"));
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), before);
    QCOMPARE(QDir(home.appFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Backup-Book.xls")});
}

void TestSheetRun::readersDoNotHoldTheWorkbook()
{
    TestHome home;
    const QString book = previousBook(home);
    LockHolder viewer(book, LockHolder::OpenForReading);
    writeFile(home.path() + QStringLiteral(".~lock.Other.xls#"), "Ann,ann,desk7,07.12.2026 10:26,;");
    Script script;
    FakeRun r;
    QVERIFY(run(script, book, home.appFolder(), r).isEmpty());
    QCOMPARE(readFile(book), QByteArray("filled"));
}

void TestSheetRun::filledWorkbookKeepsPermissionsAndLink()
{
    TestHome home;
    const QString book = previousBook(home);
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(book, permissions));
    Script script;
    FakeRun r;
    QVERIFY(run(script, book, home.appFolder(), r).isEmpty());
    QCOMPARE(readFile(book), QByteArray("filled"));
    QCOMPARE(QFileInfo(book).permissions(), permissions);

    // A workbook reached through a link is filled where it lies; the link stays.
    const QString link = home.path() + QStringLiteral("links/Book.xls");
    QVERIFY(QDir().mkpath(home.path() + QStringLiteral("links")));
    QVERIFY(QFile::link(book, link));
    QVERIFY(run(script, link, home.appFolder(), r).isEmpty());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(book), QByteArray("filled"));
    QCOMPARE(QDir(home.path() + QStringLiteral("links")).entryList(QDir::Files | QDir::System), QStringList{QStringLiteral("Book.xls")});
}

QTEST_GUILESS_MAIN(TestSheetRun)
#include "tst_sheetrun.moc"
