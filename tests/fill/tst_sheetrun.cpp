#include "app/fill/sheetfill.h"
#include "tests/fill/fakesheet.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

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
};

class ScriptedBook : public Sheets::Workbook {
public:
    explicit ScriptedBook(Script &s) : m_script(s), m_sheet(s.rows) {}
    Sheets::Worksheet &worksheet(int position) override
    {
        if (position != 1)
            throw RunError(Sheets::noSuchWorksheet(position));
        return m_failing;
    }
    void saveAs(const QString &path) override
    {
        ++m_script.saves;
        if (!m_script.saveWritesNothing)
            writeFile(path, "filled");
    }
    void close() override
    {
        ++m_script.closes;
        if (m_script.failClose)
            throw RunError(QStringLiteral("Close failed"));
    }

private:
    class Failing : public Sheets::Worksheet {
    public:
        explicit Failing(ScriptedBook &b) : m_book(b) {}
        QString cellText(int r, int c) override { return m_book.m_sheet.cellText(r, c); }
        void setCellText(int r, int c, const QString &t) override
        {
            if (m_book.m_script.failWrite)
                throw RunError(QStringLiteral("Write refused"));
            m_book.m_sheet.setCellText(r, c, t);
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
    std::unique_ptr<Sheets::Application> createApplication(const QString &) override
    {
        if (m_script.failCreate)
            throw RunError(QStringLiteral("LibreOffice Calc is not installed"));
        return std::make_unique<Forward>(*this);
    }
    std::unique_ptr<Sheets::Workbook> open(const QString &) override { return std::make_unique<ScriptedBook>(m_script); }

private:
    struct Forward : Sheets::Application {
        explicit Forward(ScriptedEngines &e) : engines(e) {}
        std::unique_ptr<Sheets::Workbook> open(const QString &p) override { return engines.open(p); }
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
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("Temp-Book.xls")));
    QCOMPARE(script.closes, 1);
    QCOMPARE(r.stepText, QStringLiteral("renaming ") + home.appFolder() + QStringLiteral("Temp-Book.xls As ") + book);
    QCOMPARE(r.runStage, qint16(2));
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
    QVERIFY(messages.first().endsWith(QStringLiteral(" while renaming ") + home.appFolder()
                                      + QStringLiteral("Temp-Book.xls As ") + book));
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
    QCOMPARE(r.runStage, qint16(2));
    QCOMPARE(readFile(book), QByteArray("previous"));
}

QTEST_GUILESS_MAIN(TestSheetRun)
#include "tst_sheetrun.moc"
