// Documents as users have them: made by LibreOffice, in the Windows code
// page, with stray siblings and links beside them.
#include "core/fill/documents.h"
#include "tests/support/fixtureoffice.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Documents;

namespace {
class FakeRun : public RunContext {
public:
    QStringList values;
    void showWait(const QString &) override { waitShown = true; }
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

class KeptPrints : public Printing {
public:
    QList<QByteArray> texts;
    Status printText(const QByteArray &text, const QString &) override
    {
        texts << text;
        return {};
    }
    Status printFile(const QString &) override { return {}; }
};

const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City")};
} // namespace

class TestDocumentFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void realSiblingsAreNotFilled();
    void onlyUnfillableFilesSkipTheDocument();
    void rtfSavedAsDocIsFilled();
    void valuesInTheDocumentsEncoding_data();
    void valuesInTheDocumentsEncoding();
    void unwritableCharacterInPlainTextIsAProblem();
    void rtfValuesReadBackByLibreOffice();
    void symbolicLinkAtSaveNameIsReplaced();

private:
    QString made(const QString &ext) const { return m_fixtures.path() + QStringLiteral("/Letter.") + ext; }
    QByteArray convert(const QString &file, const QString &format, const QString &outDir);
    void fill(const QString &modelFolder, const QString &saveFolder, const QStringList &values,
              const QString &doc = QStringLiteral("Letter"));

    QTemporaryDir m_fixtures;
};

QByteArray TestDocumentFiles::convert(const QString &file, const QString &format, const QString &outDir)
{
    if (!FixtureOffice::convert({file}, format, outDir, m_fixtures.path() + QStringLiteral("/profile")))
        return QByteArray();
    const QString out = outDir + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QLatin1Char('.')
        + format.section(QLatin1Char(':'), 0, 0);
    return readFile(out);
}

void TestDocumentFiles::initTestCase()
{
    const QString source = m_fixtures.path() + QStringLiteral("/src/Letter.txt");
    writeFile(source, "Dear &Name& of &City&,\nkind regards\n");
    QVERIFY(!convert(source, QStringLiteral("rtf"), m_fixtures.path()).isEmpty());
    QVERIFY(convert(source, QStringLiteral("pdf"), m_fixtures.path()).startsWith("%PDF-"));
    QVERIFY(convert(source, QStringLiteral("doc:MS Word 97"), m_fixtures.path()).startsWith("\xd0\xcf\x11\xe0"));
    QVERIFY(readFile(made(QStringLiteral("rtf"))).startsWith("{\\rtf1"));
}

void TestDocumentFiles::fill(const QString &modelFolder, const QString &saveFolder, const QStringList &values,
                             const QString &doc)
{
    FakeRun run;
    run.values = values;
    KeptPrints printing;
    QVERIFY(ProcessDocument({doc, false, true, PrintMethod::Faster, QStringLiteral("Smith")},
                    {modelFolder, modelFolder, saveFolder}, kFields, run, printing).ok());
}

void TestDocumentFiles::realSiblingsAreNotFilled()
{
    TestHome home;
    const QString m = home.path() + QStringLiteral("models/");
    QDir().mkpath(m);
    // An editor's backup is text too: only its name rules it out.
    for (const QString &name : {QStringLiteral("Letter.rtf"), QStringLiteral("Letter.rtf~"), QStringLiteral("Letter.rtf.bak")})
        QVERIFY(QFile::copy(made(QStringLiteral("rtf")), m + name));
    QVERIFY(QFile::copy(made(QStringLiteral("pdf")), m + QStringLiteral("Letter.pdf")));
    QVERIFY(QFile::copy(made(QStringLiteral("doc")), m + QStringLiteral("Letter.doc")));
    QCOMPARE(FindDocumentFile(m, QStringLiteral("Letter")), QStringLiteral("Letter.rtf"));
    fill(m, home.documents(), {QStringLiteral("Ann"), QStringLiteral("Rome")});
    const QByteArray saved = readFile(home.documents() + QStringLiteral("Smith-Letter.rtf"));
    QVERIFY(saved.contains("Dear Ann of Rome,"));
    QCOMPARE(QDir(home.documents()).entryList(QDir::Files), QStringList{QStringLiteral("Smith-Letter.rtf")});
}

void TestDocumentFiles::onlyUnfillableFilesSkipTheDocument()
{
    TestHome home;
    const QString m = home.path() + QStringLiteral("models/");
    QDir().mkpath(m);
    QVERIFY(QFile::copy(made(QStringLiteral("pdf")), m + QStringLiteral("Letter.pdf")));
    QVERIFY(QFile::copy(made(QStringLiteral("doc")), m + QStringLiteral("Letter.doc")));
    QVERIFY(QFile::copy(made(QStringLiteral("rtf")), m + QStringLiteral("Letter.rtf~")));
    QCOMPARE(FindDocumentFile(m, QStringLiteral("Letter")), QString());
    fill(m, home.documents(), {QStringLiteral("Ann")});
    QCOMPARE(QDir(home.documents()).entryList(QDir::Files), QStringList());
}

void TestDocumentFiles::rtfSavedAsDocIsFilled()
{
    TestHome home;
    const QString m = home.path() + QStringLiteral("models/");
    QDir().mkpath(m);
    QVERIFY(QFile::copy(made(QStringLiteral("rtf")), m + QStringLiteral("Letter.doc")));
    QCOMPARE(FindDocumentFile(m, QStringLiteral("Letter")), QStringLiteral("Letter.doc"));
    fill(m, home.documents(), {QStringLiteral("Ann"), QStringLiteral("Rome")});
    QVERIFY(readFile(home.documents() + QStringLiteral("Smith-Letter.doc")).contains("Dear Ann of Rome,"));
}

void TestDocumentFiles::valuesInTheDocumentsEncoding_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    const QString muller = QString::fromUtf8("Müller");
    QTest::newRow("windows-1252 text") << QStringLiteral("Letter.txt") << QByteArray("Gr\xfc\xdf" "e &Name&\r\n") << muller
                                       << QByteArray("Gr\xfc\xdf" "e M\xfcller\r\n");
    QTest::newRow("utf-8 text") << QStringLiteral("Letter.txt") << QByteArray("Gr\xc3\xbc\xc3\x9f" "e &Name&\n") << muller
                                << QByteArray("Gr\xc3\xbc\xc3\x9f" "e M\xc3\xbcller\n");
    QTest::newRow("ascii text is taken as utf-8") << QStringLiteral("Letter.txt") << QByteArray("&Name&") << muller
                                                  << QByteArray("M\xc3\xbcller");
    QTest::newRow("windows-1252 name in the marker") << QStringLiteral("Letter.txt") << QByteArray("\x80 &Stra\xdf" "e&") << QString()
                                                     << QByteArray("\x80 Rome");
    QTest::newRow("windows-1252 markup, entity for the rest")
        << QStringLiteral("Letter.htm") << QByteArray("<p>\xe9 &amp;Name&amp;</p>") << QString::fromUtf8("Łukasz Müller & Co")
        << QByteArray("<p>\xe9 &#321;ukasz M\xfcller &amp; Co</p>");
    QTest::newRow("rich text in any code page") << QStringLiteral("Letter.rtf") << QByteArray("{\\rtf1\\ansi \xe9 &Name&}")
                                                << QString::fromUtf8("Łukasz") << QByteArray("{\\rtf1\\ansi \xe9 \\u321?ukasz}");
}

void TestDocumentFiles::valuesInTheDocumentsEncoding()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, document);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    TestHome home;
    writeFile(home.path() + file, document);
    FakeRun run;
    run.values = {value, QStringLiteral("Rome")};
    KeptPrints printing;
    const QStringList fields{QStringLiteral("Name"), QString::fromUtf8("Straße")};
    QVERIFY(ProcessDocument({QStringLiteral("Letter"), true, true, PrintMethod::Faster, QStringLiteral("S")},
                    {home.path(), home.appFolder(), home.documents()}, fields, run, printing).ok());
    QCOMPARE(printing.texts, QList<QByteArray>{expected});
    QCOMPARE(readFile(home.documents() + QStringLiteral("S-") + file), expected);
}

void TestDocumentFiles::unwritableCharacterInPlainTextIsAProblem()
{
    TestHome home;
    writeFile(home.path() + QStringLiteral("Letter.txt"), "Gr\xfc\xdf" "e &Name&\r\n");
    FakeRun run;
    run.values = {QString::fromUtf8("Łukasz"), QString::fromUtf8("Łódź")};
    KeptPrints printing;
    const Status filled = ProcessDocument({QStringLiteral("Letter"), true, true, PrintMethod::Faster, QStringLiteral("S")},
                                          {home.path(), home.appFolder(), home.documents()}, kFields, run, printing);
    QVERIFY2(!filled.ok(), "a value the document cannot hold must be reported");
    QVERIFY2(filled.error().contains(QStringLiteral("Name")), qPrintable(filled.error()));
    QVERIFY2(filled.error().contains(QString::fromUtf8("Ł")), qPrintable(filled.error()));
    QCOMPARE(run.stepText, QStringLiteral("replacing fields in Letter"));
    QVERIFY(printing.texts.isEmpty());
    QCOMPARE(QDir(home.documents()).entryList(QDir::Files), QStringList());
    // City has no marker here, so its value needs no place in the document.
    run.values = {QStringLiteral("Ann"), QString::fromUtf8("Łódź")};
    QVERIFY(ProcessDocument({QStringLiteral("Letter"), false, true, PrintMethod::Faster, QStringLiteral("S")},
                    {home.path(), home.appFolder(), home.documents()}, kFields, run, printing).ok());
    QCOMPARE(readFile(home.documents() + QStringLiteral("S-Letter.txt")), QByteArray("Gr\xfc\xdf" "e Ann\r\n"));
}

void TestDocumentFiles::rtfValuesReadBackByLibreOffice()
{
    TestHome home;
    const QString m = home.path() + QStringLiteral("models/");
    QDir().mkpath(m);
    QVERIFY(QFile::copy(made(QStringLiteral("rtf")), m + QStringLiteral("Letter.rtf")));
    fill(m, home.documents(), {QString::fromUtf8("Łukasz Müller {1}"), QString::fromUtf8("Kraków \\ €")});
    const QByteArray text = convert(home.documents() + QStringLiteral("Smith-Letter.rtf"),
                                    QStringLiteral("txt:Text (encoded):UTF8"), home.path());
    QVERIFY2(text.contains("Dear \xc5\x81ukasz M\xc3\xbcller {1} of Krak\xc3\xb3w \\ \xe2\x82\xac,"), text.constData());
}

void TestDocumentFiles::symbolicLinkAtSaveNameIsReplaced()
{
    TestHome home;
    const QString m = home.path() + QStringLiteral("models/");
    writeFile(m + QStringLiteral("Letter.txt"), "Dear &Name&");
    const QString target = home.path() + QStringLiteral("elsewhere/notes.txt");
    writeFile(target, "not to be touched");
    const QString saved = home.documents() + QStringLiteral("Smith-Letter.txt");
    QVERIFY(QFile::link(target, saved));
    fill(m, home.documents(), {QStringLiteral("Ann")});
    QVERIFY(!QFileInfo(saved).isSymLink());
    QCOMPARE(readFile(saved), QByteArray("Dear Ann"));
    QCOMPARE(readFile(target), QByteArray("not to be touched"));
    QCOMPARE(QDir(home.documents()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Smith-Letter.txt")});
}

QTEST_GUILESS_MAIN(TestDocumentFiles)
#include "tst_documentfiles.moc"
