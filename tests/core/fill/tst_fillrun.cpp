#include "core/fill/engines.h"
#include "core/fill/fillrun.h"
#include "tests/support/testhome.h"

#include <QFileInfo>
#include <QTest>

// The fill run without any window: a recording observer, a recording
// printer, real documents and a real CSV workbook in a temporary home.
namespace {
class RecordingObserver : public FillObserver {
public:
    QStringList events;
    QStringList waits;
    void showWait(const QString &caption) override { waits << caption; }
    void problem(const QString &text, const QString &title) override { events << title + QStringLiteral(": ") + text; }
    void saved(const QString &path) override { events << QStringLiteral("saved ") + QFileInfo(path).fileName(); }
    void printed(const QString &document) override { events << QStringLiteral("printed ") + document; }
    void recordAdded(const QString &sheetPath) override
    {
        events << QStringLiteral("added ") + QFileInfo(sheetPath).fileName();
    }
    void skipped(const QString &item) override { events << QStringLiteral("skipped ") + QFileInfo(item).fileName(); }
};

class RecordingPrinting : public Documents::Printing {
public:
    QList<QByteArray> texts;
    QStringList failFor; // documents (file names without extension) whose printing fails
    Status printText(const QByteArray &text, const QString &title) override
    {
        if (failFor.contains(QFileInfo(title).completeBaseName()))
            return Failure{QStringLiteral("No printer is available")};
        texts << text;
        return {};
    }
    Status printFile(const QString &path) override
    {
        texts << readFile(path);
        return {};
    }
};

struct Setup {
    TestHome home;
    FillRunInput input;
    QString sheet;
    QString other;

    Setup()
    {
        const QString models = home.appFolder();
        writeFile(models + QStringLiteral("Letter.txt"), "Dear &Name& of &City&\r\n");
        writeFile(models + QStringLiteral("Memo.txt"), "Memo for &Name&\r\n");
        sheet = models + QStringLiteral("People.csv");
        other = models + QStringLiteral("Other.csv");
        writeFile(sheet, "Name,City\r\n&Name&,&City&\r\n");
        writeFile(other, "Name,City\r\n&Name&,&City&\r\n");
        input.model.FieldNames = {QStringLiteral("Name"), QStringLiteral("City")};
        input.model.DocNames = {QStringLiteral("Letter"), QStringLiteral("Memo")};
        input.model.SheetPaths = {sheet, other};
        input.model.SheetNumbers = {1, 1};
        input.folders = {models, models, home.documents()};
        input.values = {QStringLiteral("Ann"), QStringLiteral("Rome")};
        input.saveName = QStringLiteral("Run");
    }
};
} // namespace

class TestFillRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reportsEveryItem();
    void refusesAnUnusableSaveName_data();
    void refusesAnUnusableSaveName();
    void failingDocumentDoesNotStopTheRest();
    void pdfCopyBesideSavedCopy();
    void failingPdfCopyIsAProblemOfTheSaveStep();
    void unanalysableSheetIsAnError();
};

void TestFillRun::reportsEveryItem()
{
    Setup s;
    s.input.documents = {{true, true}, {false, false}};
    s.input.sheets = {true, false};
    RecordingObserver observer;
    RecordingPrinting printing;
    SystemEngines engines;
    FillRun run(observer, printing, engines);
    QVERIFY(run.run(s.input));

    QCOMPARE(observer.events, (QStringList{QStringLiteral("printed Letter"), QStringLiteral("saved Run-Letter.txt"),
                                           QStringLiteral("skipped Memo"), QStringLiteral("added People.csv"),
                                           QStringLiteral("skipped Other.csv")}));
    QCOMPARE(printing.texts, (QList<QByteArray>{"Dear Ann of Rome\r\n"}));
    QCOMPARE(readFile(s.home.documents() + QStringLiteral("Run-Letter.txt")), QByteArray("Dear Ann of Rome\r\n"));
    QVERIFY(!QFileInfo::exists(s.home.documents() + QStringLiteral("Run-Memo.txt")));
    QCOMPARE(readFile(s.sheet), QByteArray("Name,City\r\nAnn,Rome\r\n&Name&,&City&\r\n"));
    QCOMPARE(readFile(s.other), QByteArray("Name,City\r\n&Name&,&City&\r\n"));
    QVERIFY(run.waitShown());
    QVERIFY(observer.waits.contains(QStringLiteral("Modifying People.csv")));
}

void TestFillRun::refusesAnUnusableSaveName_data()
{
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<QString>("why"); // what the message adds to the usual words
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("a folder") << QStringLiteral("a/b") << QStringLiteral("Names cannot contain / or \\.");
    QTest::newRow("the parent") << QStringLiteral("..") << QStringLiteral("Names cannot be . or ..");
    QTest::newRow("a line break") << QStringLiteral("Smith\nJones")
                                  << QStringLiteral("Names cannot contain line breaks, tabs or other control characters.");
}

void TestFillRun::refusesAnUnusableSaveName()
{
    QFETCH(QString, saveName);
    QFETCH(QString, why);
    Setup s;
    s.input.saveName = saveName;
    s.input.documents = {{true, false}, {false, true}};
    s.input.sheets = {true, true};
    RecordingObserver observer;
    RecordingPrinting printing;
    SystemEngines engines;
    FillRun run(observer, printing, engines);
    QVERIFY(!run.run(s.input));

    const QString text = why.isEmpty() ? FillRun::missingSaveNameText()
                                       : FillRun::missingSaveNameText() + QStringLiteral("\r\n") + why;
    QCOMPARE(observer.events, QStringList{QStringLiteral("Operation aborting: ") + text});
    QVERIFY(printing.texts.isEmpty());
    QCOMPARE(readFile(s.sheet), QByteArray("Name,City\r\n&Name&,&City&\r\n"));
    QVERIFY(!run.waitShown());
}

void TestFillRun::failingDocumentDoesNotStopTheRest()
{
    Setup s;
    s.input.documents = {{true, false}, {true, false}};
    s.input.sheets = {true, false};
    RecordingObserver observer;
    RecordingPrinting printing;
    printing.failFor = {QStringLiteral("Letter")};
    SystemEngines engines;
    FillRun run(observer, printing, engines);
    QVERIFY(run.run(s.input));

    QCOMPARE(observer.events,
             (QStringList{QStringLiteral("Problem: No printer is available while printing Letter"),
                          QStringLiteral("printed Memo"), QStringLiteral("added People.csv"),
                          QStringLiteral("skipped Other.csv")}));
}

void TestFillRun::pdfCopyBesideSavedCopy()
{
    Setup s;
    s.input.documents = {{false, true}, {false, false}};
    s.input.pdfCopies = true;
    RecordingObserver observer;
    RecordingPrinting printing;
    SystemEngines engines;
    QStringList copied;
    FillRun run(observer, printing, engines, [&copied](const QString &saved) -> Status {
        copied << saved;
        return {};
    });
    QVERIFY(run.run(s.input));

    QCOMPARE(copied, QStringList{s.home.documents() + QStringLiteral("Run-Letter.txt")});
    QCOMPARE(observer.events, (QStringList{QStringLiteral("saved Run-Letter.txt"), QStringLiteral("saved Run-Letter.pdf"),
                                           QStringLiteral("skipped Memo"), QStringLiteral("skipped People.csv"),
                                           QStringLiteral("skipped Other.csv")}));
    QVERIFY(observer.waits.contains(QStringLiteral("Saving Run-Letter.pdf")));

    // Without the choice no copy is made.
    s.input.pdfCopies = false;
    copied.clear();
    QVERIFY(run.run(s.input));
    QVERIFY(copied.isEmpty());
}

void TestFillRun::failingPdfCopyIsAProblemOfTheSaveStep()
{
    Setup s;
    s.input.documents = {{false, true}, {false, true}};
    s.input.pdfCopies = true;
    RecordingObserver observer;
    RecordingPrinting printing;
    SystemEngines engines;
    FillRun run(observer, printing, engines,
                [](const QString &) { return Status(Failure{QStringLiteral("The office could not export the copy")}); });
    QVERIFY(run.run(s.input));

    QCOMPARE(observer.events,
             (QStringList{QStringLiteral("saved Run-Letter.txt"),
                          QStringLiteral("Problem: The office could not export the copy while saving Letter"),
                          QStringLiteral("saved Run-Memo.txt"),
                          QStringLiteral("Problem: The office could not export the copy while saving Memo"),
                          QStringLiteral("skipped People.csv"), QStringLiteral("skipped Other.csv")}));
}

void TestFillRun::unanalysableSheetIsAnError()
{
    Setup s;
    writeFile(s.sheet, "Name,City\r\nBob,Oslo\r\n");
    s.input.documents = {{false, false}, {false, false}};
    s.input.sheets = {true, true};
    RecordingObserver observer;
    RecordingPrinting printing;
    SystemEngines engines;
    FillRun run(observer, printing, engines);
    QVERIFY(run.run(s.input));

    QCOMPARE(observer.events,
             (QStringList{QStringLiteral("skipped Letter"), QStringLiteral("skipped Memo"),
                          QStringLiteral("Error: Unable to analyze spreadsheet \r\n") + s.sheet,
                          QStringLiteral("added Other.csv")}));
    QCOMPARE(readFile(s.sheet), QByteArray("Name,City\r\nBob,Oslo\r\n"));
}

QTEST_GUILESS_MAIN(TestFillRun)
#include "tst_fillrun.moc"
