#include "core/model/modelfile.h"
#include "core/model/textfile.h"
#include "tests/support/testhome.h"

#include <QTest>

class TestModelFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTheExactFormat();
    void roundTripKeepsNamesAsTyped();
    void emptyModelIsThreeZeroLines();
    void numberLinesIgnoreBlanks();
    void badCountLinesAreErrors_data();
    void badCountLinesAreErrors();
    void negativeSheetNumberSurvives();
    void acceptsBareLineFeeds();
    void readsWindows1252Names();
    void listsModelsWithoutExtension();
    void listedModelsAreTheOnesThatLoad_data();
    void listedModelsAreTheOnesThatLoad();
};

void TestModelFile::writesTheExactFormat()
{
    TestHome home;
    ModelLists m;
    m.FieldNames = {QStringLiteral("First Name"), QStringLiteral("Date of Birth")};
    m.DocNames = {QStringLiteral("Letter")};
    m.SheetPaths = {QStringLiteral("/data/Book.xls")};
    m.SheetNumbers = {2};
    const QString path = home.path() + QStringLiteral("M.mod");
    QVERIFY(ModelFile::write(path, m));
    QCOMPARE(readFile(path), QByteArray(" 2 \r\nFirst Name\r\nDate of Birth\r\n 1 \r\nLetter\r\n 1 \r\n"
                                        "/data/Book.xls\r\n 2 \r\n"));
}

void TestModelFile::roundTripKeepsNamesAsTyped()
{
    TestHome home;
    ModelLists m;
    m.FieldNames = {QStringLiteral("  Leading"), QStringLiteral("Smith, John"), QStringLiteral("\"Quoted\" 'too'"),
                    QStringLiteral("Trailing  "), QStringLiteral("Straße é")};
    m.DocNames = {QStringLiteral(" Doc, one")};
    m.SheetPaths = {QStringLiteral("/a b/c,d.xls"), QStringLiteral("/x.ods")};
    m.SheetNumbers = {3, 1};
    const QString path = home.path() + QStringLiteral("R.mod");
    QVERIFY(ModelFile::write(path, m));
    const Result<ModelLists> back = ModelFile::read(path);
    QVERIFY2(back, qPrintable(back.error()));
    QCOMPARE(*back, m);
}

void TestModelFile::emptyModelIsThreeZeroLines()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("E.mod");
    QVERIFY(ModelFile::write(path, ModelLists()));
    QCOMPARE(readFile(path), QByteArray(" 0 \r\n 0 \r\n 0 \r\n"));
    QCOMPARE(ModelFile::read(path).value(), ModelLists());
}

void TestModelFile::numberLinesIgnoreBlanks()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("B.mod");
    writeFile(path, "4\r\na\r\nb\r\nc\r\nd\r\n   0\r\n 1      \r\n/p.xls\r\n\t7 \r\n");
    const Result<ModelLists> read = ModelFile::read(path);
    QVERIFY2(read, qPrintable(read.error()));
    const ModelLists &m = *read;
    QCOMPARE(m.FieldCount(), qint16(4));
    QCOMPARE(m.FieldNames.last(), QStringLiteral("d"));
    QCOMPARE(m.SheetNumbers, QList<qint16>{7});
}

void TestModelFile::badCountLinesAreErrors_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::newRow("negative") << QByteArray("-1 \r\n 0 \r\n 0 \r\n") << QStringLiteral("Invalid count");
    QTest::newRow("word") << QByteArray("three\r\n") << QStringLiteral("Type mismatch");
    QTest::newRow("blank") << QByteArray("   \r\n 0 \r\n 0 \r\n") << QStringLiteral("Type mismatch");
    QTest::newRow("beyond 16 bits") << QByteArray(" 40000 \r\n") << QStringLiteral("Overflow");
    QTest::newRow("huge") << QByteArray(" 99999999999999999999999 \r\n") << QStringLiteral("Overflow");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("Input past end of file");
    QTest::newRow("names cut short") << QByteArray(" 3 \r\nOne\r\nTwo\r\n") << QStringLiteral("Input past end of file");
    QTest::newRow("sheet number missing") << QByteArray(" 0 \r\n 0 \r\n 1 \r\n/s.xls\r\n")
                                          << QStringLiteral("Input past end of file");
    QTest::newRow("bad doc count") << QByteArray(" 1 \r\nA\r\n x \r\n") << QStringLiteral("Type mismatch");
}

void TestModelFile::badCountLinesAreErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    TestHome home;
    const QString path = home.path() + QStringLiteral("Bad.mod");
    writeFile(path, content);
    const Result<ModelLists> read = ModelFile::read(path);
    QVERIFY(!read);
    QCOMPARE(read.error(), error);
}

void TestModelFile::negativeSheetNumberSurvives()
{
    TestHome home;
    ModelLists m;
    m.SheetPaths = {QStringLiteral("/s.xls")};
    m.SheetNumbers = {-3};
    const QString path = home.path() + QStringLiteral("N.mod");
    QVERIFY(ModelFile::write(path, m));
    QVERIFY(readFile(path).endsWith("/s.xls\r\n-3 \r\n"));
    QCOMPARE(ModelFile::read(path)->SheetNumbers, QList<qint16>{-3});
}

void TestModelFile::acceptsBareLineFeeds()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("L.mod");
    writeFile(path, " 1 \nName\n 0 \n 0");
    QCOMPARE(ModelFile::read(path)->FieldNames, QStringList{QStringLiteral("Name")});
}

void TestModelFile::readsWindows1252Names()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("W.mod");
    writeFile(path, " 1 \r\nStra\xdf" "e \x80\r\n 0 \r\n 0 \r\n");
    QCOMPARE(ModelFile::read(path)->FieldNames.first(), QString::fromUtf8("Straße €"));
}

void TestModelFile::listsModelsWithoutExtension()
{
    TestHome home;
    writeFile(home.path() + QStringLiteral("m/Sample Model.mod"), " 0 \r\n 0 \r\n 0 \r\n");
    writeFile(home.path() + QStringLiteral("m/alpha.mod"), " 0 \r\n 0 \r\n 0 \r\n");
    writeFile(home.path() + QStringLiteral("m/notes.txt"), "x");
    QCOMPARE(ModelFile::listModels(home.path() + QStringLiteral("m/")),
             (QStringList{QStringLiteral("alpha"), QStringLiteral("Sample Model")}));
    QVERIFY(ModelFile::listModels(home.path() + QStringLiteral("nowhere/")).isEmpty());
}

void TestModelFile::listedModelsAreTheOnesThatLoad_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("loadsFrom"); // the file of the first listed model
    QTest::newRow("lower case") << QStringList{QStringLiteral("Foo.mod")} << QStringList{QStringLiteral("Foo")}
                                << QStringLiteral("Foo.mod");
    QTest::newRow("upper case") << QStringList{QStringLiteral("Foo.MOD")} << QStringList{QStringLiteral("Foo")}
                                << QStringLiteral("Foo.MOD");
    QTest::newRow("mixed case") << QStringList{QStringLiteral("Foo.Mod")} << QStringList{QStringLiteral("Foo")}
                                << QStringLiteral("Foo.Mod");
    QTest::newRow("both listed once, exact wins")
        << QStringList{QStringLiteral("Foo.MOD"), QStringLiteral("Foo.mod")} << QStringList{QStringLiteral("Foo")}
        << QStringLiteral("Foo.mod");
    QTest::newRow("name case is the model's own")
        << QStringList{QStringLiteral("foo.MOD"), QStringLiteral("Foo.mod")}
        << QStringList{QStringLiteral("foo"), QStringLiteral("Foo")} << QStringLiteral("foo.MOD");
    QTest::newRow("wildcard in name") << QStringList{QStringLiteral("A*.MOD"), QStringLiteral("Ab.mod")}
                                      << QStringList{QStringLiteral("A*"), QStringLiteral("Ab")}
                                      << QStringLiteral("A*.MOD");
    QTest::newRow("line break in name not listed")
        << QStringList{QStringLiteral("Two\nLines.mod")} << QStringList{} << QString();
}

void TestModelFile::listedModelsAreTheOnesThatLoad()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, listed);
    QFETCH(QString, loadsFrom);
    TestHome home;
    const QString folder = home.path() + QStringLiteral("m/");
    for (const QString &f : files)
        QVERIFY(writeFile(folder + f, " 1 \r\n" + f.toUtf8() + "\r\n 0 \r\n 0 \r\n"));
    QStringList got = ModelFile::listModels(folder);
    QStringList want = listed;
    got.sort();
    want.sort();
    QCOMPARE(got, want);
    if (listed.isEmpty())
        return;
    const QString path = ModelFile::modelPath(folder, listed.first());
    QCOMPARE(path, folder + loadsFrom);
    QCOMPARE(ModelFile::read(path)->FieldNames, QStringList{loadsFrom});
}

QTEST_GUILESS_MAIN(TestModelFile)
#include "tst_modelfile.moc"
