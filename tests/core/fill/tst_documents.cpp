#include "core/fill/documents.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace Documents;

namespace {
class FakeRun : public RunContext {
public:
    QStringList values;
    QStringList waits;
    void showWait(const QString &caption) override
    {
        waits << caption;
        waitShown = true;
    }
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

class FakePrinting : public Printing {
public:
    QList<QByteArray> texts;
    QStringList files;
    QList<QByteArray> fileContents;
    bool fail = false;
    Status printText(const QByteArray &text, const QString &) override
    {
        if (fail)
            return Failure{QStringLiteral("No printer is available")};
        texts << text;
        return {};
    }
    Status printFile(const QString &path) override
    {
        files << path;
        fileContents << readFile(path);
        return {};
    }
};

const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City")};
} // namespace

class TestDocuments : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsTheFile_data();
    void findsTheFile();
    void passesOverUnfillableFiles_data();
    void passesOverUnfillableFiles();
    void savesFilledCopy();
    void printsFasterWithoutFiles();
    void printsHigherQualityThroughTemporaryFile();
    void missingDocumentIsSkipped();
    void unsafeNamesAreNeverUsed();
    void failingSaveNamesTheStep();
    void emptyDocument();
};

void TestDocuments::findsTheFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("expected");
    QTest::newRow("only rtf") << QStringList{QStringLiteral("Letter.rtf")} << QStringLiteral("Letter.rtf");
    QTest::newRow("htm beside rtf") << QStringList{QStringLiteral("Letter.rtf"), QStringLiteral("Letter.htm")}
                                    << QStringLiteral("Letter.htm");
    QTest::newRow("txt beside rtf") << QStringList{QStringLiteral("Letter.txt"), QStringLiteral("Letter.rtf")}
                                    << QStringLiteral("Letter.txt");
    QTest::newRow("other names ignored") << QStringList{QStringLiteral("Letters.rtf"), QStringLiteral("Letter")}
                                         << QString();
    QTest::newRow("case of the name") << QStringList{QStringLiteral("LETTER.RTF")} << QStringLiteral("LETTER.RTF");
    QTest::newRow("none") << QStringList{} << QString();
}

void TestDocuments::findsTheFile()
{
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    TestHome home;
    for (const QString &f : files)
        writeFile(home.path() + f, "x");
    QDir().mkpath(home.path() + QStringLiteral("Letter.dir"));
    if (expected.isEmpty())
        QDir().rmdir(home.path() + QStringLiteral("Letter.dir"));
    QCOMPARE(FindDocumentFile(home.path(), QStringLiteral("Letter")), expected);
}

void TestDocuments::passesOverUnfillableFiles_data()
{
    // Each file: name, then content. The first listed is the document.
    QTest::addColumn<QList<QPair<QByteArray, QByteArray>>>("files");
    QTest::addColumn<QByteArray>("expected");
    using Files = QList<QPair<QByteArray, QByteArray>>;
    const QByteArray rtf("{\\rtf1 &Name&}");
    QTest::newRow("pdf beside rtf") << Files{{"Letter.rtf", rtf}, {"Letter.pdf", "%PDF-1.7\n%\xe2\xe3\n"}} << QByteArray("Letter.rtf");
    QTest::newRow("pdf after a line") << Files{{"Letter.rtf", rtf}, {"Letter.x", "junk\r\n%PDF-1.4\n"}} << QByteArray("Letter.rtf");
    QTest::newRow("backup beside rtf") << Files{{"Letter.rtf", rtf}, {"Letter.rtf~", rtf}} << QByteArray("Letter.rtf");
    QTest::newRow("bak beside rtf") << Files{{"Letter.rtf", rtf}, {"Letter.BAK", rtf}} << QByteArray("Letter.rtf");
    QTest::newRow("png") << Files{{"Letter.rtf", rtf}, {"Letter.png", "\x89PNG\r\n\x1a\nIHDR"}} << QByteArray("Letter.rtf");
    QTest::newRow("jpeg") << Files{{"Letter.rtf", rtf}, {"Letter.jpg", "\xff\xd8\xff\xe0JFIF"}} << QByteArray("Letter.rtf");
    QTest::newRow("gif") << Files{{"Letter.rtf", rtf}, {"Letter.gif", "GIF89a...."}} << QByteArray("Letter.rtf");
    QTest::newRow("zip archive") << Files{{"Letter.rtf", rtf}, {"Letter.zip", "PK\x03\x04\x14"}} << QByteArray("Letter.rtf");
    QTest::newRow("word package") << Files{{"Letter.rtf", rtf}, {"Letter.docx", "PK\x03\x04\x14"}}
                                  << QByteArray("Letter.docx");
    QTest::newRow("old word") << Files{{"Letter.rtf", rtf}, {"Letter.doc", "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"}}
                              << QByteArray("Letter.rtf");
    QTest::newRow("nul bytes") << Files{{"Letter.rtf", rtf}, {"Letter.dat", QByteArray("ab\0cd", 5)}} << QByteArray("Letter.rtf");
    QTest::newRow("utf-16 text has nul bytes") << Files{{"Letter.rtf", rtf}, {"Letter.txt", QByteArray("\xff\xfe&\0", 4)}}
                                               << QByteArray("Letter.rtf");
    QTest::newRow("text naming pdf stays") << Files{{"Letter.rtf", rtf}, {"Letter.txt", "see the %PDF-1.4 header"}}
                                           << QByteArray("Letter.txt");
    QTest::newRow("rtf saved as doc") << Files{{"Letter.doc", rtf}} << QByteArray("Letter.doc");
    QTest::newRow("order among the rest") << Files{{"Letter.rtf", rtf}, {"Letter.htm", "<p>"}, {"Letter.txt", "x"},
                                                   {"Letter.gif", "GIF87a"}} << QByteArray("Letter.htm");
    QTest::newRow("only backups and binaries") << Files{{"Letter.rtf~", rtf}, {"Letter.pdf", "%PDF-1.3"}} << QByteArray();
    QTest::newRow("our own temporary file") << Files{{".Letter.rtf.7.qlt-tmp", rtf}} << QByteArray();
}

void TestDocuments::passesOverUnfillableFiles()
{
    using Files = QList<QPair<QByteArray, QByteArray>>;
    QFETCH(Files, files);
    QFETCH(QByteArray, expected);
    TestHome home;
    for (const auto &[name, content] : files)
        writeFile(home.path() + QString::fromUtf8(name), content);
    QCOMPARE(FindDocumentFile(home.path(), QStringLiteral("Letter")).toUtf8(), expected);
    if (expected.endsWith(".docx"))
        return; // packages are filled, and refused when broken, by the package fill's own tests
    // A document with nothing to fill is skipped as a missing one is.
    FakeRun run;
    FakePrinting printing;
    QVERIFY(ProcessDocument({QStringLiteral("Letter"), true, false, PrintMethod::Faster, QString()},
                    {home.path(), home.appFolder(), home.documents()}, kFields, run, printing).ok());
    QCOMPARE(printing.texts.size(), expected.isEmpty() ? 0 : 1);
}

void TestDocuments::savesFilledCopy()
{
    TestHome home;
    const Folders folders{home.path() + QStringLiteral("m/"), home.appFolder(), home.documents()};
    writeFile(folders.modelFolder + QStringLiteral("Letter.rtf"), "{\\rtf1 Dear &Name& of &City&\\par}");
    writeFile(home.documents() + QStringLiteral("Smith-Letter.rtf"), QByteArray(5000, 'x'));
    FakeRun run;
    run.values = {QStringLiteral("Ann"), QStringLiteral("Rome")};
    FakePrinting printing;
    QVERIFY(ProcessDocument({QStringLiteral("Letter"), false, true, PrintMethod::Faster, QStringLiteral("Smith")}, folders,
                    kFields, run, printing).ok());
    QCOMPARE(readFile(home.documents() + QStringLiteral("Smith-Letter.rtf")), QByteArray("{\\rtf1 Dear Ann of Rome\\par}"));
    QCOMPARE(run.waits, QStringList{QStringLiteral("Saving Smith-Letter.rtf")});
    QCOMPARE(run.runStage, RunStage::Document);
    QCOMPARE(run.stepText, QStringLiteral("saving Letter"));
    QVERIFY(printing.texts.isEmpty());
    // The document itself is never changed.
    QCOMPARE(readFile(folders.modelFolder + QStringLiteral("Letter.rtf")), QByteArray("{\\rtf1 Dear &Name& of &City&\\par}"));
}

void TestDocuments::printsFasterWithoutFiles()
{
    TestHome home;
    const Folders folders{home.path(), home.appFolder(), home.documents()};
    writeFile(home.path() + QStringLiteral("Note.txt"), "&amp;City&amp;");
    FakeRun run;
    run.values = {QStringLiteral("Ann"), QStringLiteral("Rome")};
    FakePrinting printing;
    QVERIFY(ProcessDocument({QStringLiteral("Note"), true, false, PrintMethod::Faster, QString()}, folders, kFields, run, printing).ok());
    QCOMPARE(printing.texts, QList<QByteArray>{"Rome"});
    QCOMPARE(run.waits, QStringList{QStringLiteral("Printing Note")});
    QCOMPARE(QDir(home.appFolder()).entryList(QDir::Files), QStringList());
}

void TestDocuments::printsHigherQualityThroughTemporaryFile()
{
    TestHome home;
    const Folders folders{home.path(), home.appFolder(), home.documents()};
    writeFile(home.path() + QStringLiteral("Letter.rtf"), "&Name&");
    writeFile(home.appFolder() + QStringLiteral("temprtf.rtf"), "left over from a crash");
    FakeRun run;
    run.values = {QStringLiteral("Ann")};
    FakePrinting printing;
    QVERIFY(ProcessDocument({QStringLiteral("Letter"), true, true, PrintMethod::HigherQuality, QStringLiteral("S")}, folders,
                    kFields, run, printing).ok());
    // A file of this fill's own, never the shared name another fill may be printing.
    QCOMPARE(printing.files.size(), 1);
    QVERIFY(printing.files[0].endsWith(QStringLiteral("/temprtf.rtf")));
    QVERIFY(printing.files[0] != home.appFolder() + QStringLiteral("temprtf.rtf"));
    QCOMPARE(printing.fileContents, QList<QByteArray>{"Ann"});
    QVERIFY(!QFileInfo::exists(QFileInfo(printing.files[0]).absolutePath()));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("temprtf.rtf")), QByteArray("left over from a crash"));
    QCOMPARE(readFile(home.documents() + QStringLiteral("S-Letter.rtf")), QByteArray("Ann"));
    // Printing comes first.
    QCOMPARE(run.waits, (QStringList{QStringLiteral("Printing Letter"), QStringLiteral("Saving S-Letter.rtf")}));
}

void TestDocuments::missingDocumentIsSkipped()
{
    TestHome home;
    FakeRun run;
    FakePrinting printing;
    QVERIFY(ProcessDocument({QStringLiteral("Nothing"), true, true, PrintMethod::Faster, QStringLiteral("S")},
                    {home.path(), home.appFolder(), home.documents()}, kFields, run, printing).ok());
    QVERIFY(printing.texts.isEmpty());
    QVERIFY(!run.waitShown);
    QCOMPARE(QDir(home.documents()).entryList(QDir::Files), QStringList());
}

void TestDocuments::unsafeNamesAreNeverUsed()
{
    TestHome home;
    writeFile(home.path() + QStringLiteral("secret.txt"), "&Name&");
    QDir().mkpath(home.path() + QStringLiteral("m"));
    FakeRun run;
    FakePrinting printing;
    for (const QString &name : {QStringLiteral("../secret"), QStringLiteral(".."), QStringLiteral("a\\b")}) {
        QVERIFY(ProcessDocument({name, true, true, PrintMethod::Faster, QStringLiteral("S")},
                        {home.path() + QStringLiteral("m/"), home.appFolder(), home.documents()}, kFields, run, printing).ok());
        QCOMPARE(FindDocumentFile(home.path() + QStringLiteral("m/"), name), QString());
    }
    QVERIFY(printing.texts.isEmpty());
    QVERIFY(!isSafeName(QStringLiteral(".")));
    QVERIFY(!isSafeName(QStringLiteral("x/y")));
    QVERIFY(isSafeName(QStringLiteral("Smith, J.")));
}

void TestDocuments::failingSaveNamesTheStep()
{
    TestHome home;
    writeFile(home.path() + QStringLiteral("Letter.rtf"), "x");
    FakeRun run;
    FakePrinting printing;
    const Status saved =
        ProcessDocument({QStringLiteral("Letter"), false, true, PrintMethod::Faster, QStringLiteral("S")},
                        {home.path(), home.appFolder(), home.path() + QStringLiteral("no such folder/")}, kFields,
                        run, printing);
    QVERIFY2(!saved.ok(), "a save into a missing folder must fail");
    QCOMPARE(saved.error(), QStringLiteral("Path not found"));
    QCOMPARE(run.stepText, QStringLiteral("saving Letter"));
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("no such folder")));
}

void TestDocuments::emptyDocument()
{
    TestHome home;
    writeFile(home.path() + QStringLiteral("Blank.rtf"), QByteArray());
    FakeRun run;
    FakePrinting printing;
    QVERIFY(ProcessDocument({QStringLiteral("Blank"), true, true, PrintMethod::Faster, QStringLiteral("S")},
                    {home.path(), home.appFolder(), home.documents()}, kFields, run, printing).ok());
    QCOMPARE(printing.texts, QList<QByteArray>{QByteArray()});
    QVERIFY(QFileInfo::exists(home.documents() + QStringLiteral("S-Blank.rtf")));
    QCOMPARE(QFileInfo(home.documents() + QStringLiteral("S-Blank.rtf")).size(), 0);
}

QTEST_GUILESS_MAIN(TestDocuments)
#include "tst_documents.moc"
