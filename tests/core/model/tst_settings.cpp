#include "core/model/modelpath.h"
#include "core/model/settingsfile.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingFileGivesSampleModel();
    void writesThirtyFiveLines();
    void secondLineZeroOrEmptyMeansAppFolder_data();
    void secondLineZeroOrEmptyMeansAppFolder();
    void pathRules_data();
    void pathRules();
    void copiesSamplesOnlyIntoFolderWithout();
    void copyIntoMissingFolderFails();
};

void TestSettings::missingFileGivesSampleModel()
{
    TestHome home;
    const auto s = SettingsFile::read(home.appFolder());
    QCOMPARE(s.modelName, QStringLiteral("Sample Model"));
    QCOMPARE(s.modelFolder, home.appFolder());
}

void TestSettings::writesThirtyFiveLines()
{
    TestHome home;
    QVERIFY(SettingsFile::write(home.appFolder(), {QStringLiteral("Letters"), QStringLiteral("/srv/models/")}));
    const QList<QByteArray> lines = readFile(home.appFolder() + QStringLiteral("qlt.ini")).split('\n');
    QCOMPARE(lines.size(), 36); // 35 lines, each ended by CR LF
    QCOMPARE(lines[0], QByteArray("Letters\r"));
    QCOMPARE(lines[1], QByteArray("/srv/models/\r"));
    for (int i = 2; i < 35; ++i)
        QCOMPARE(lines[i], QByteArray("0\r"));
    QCOMPARE(lines[35], QByteArray());
    const auto back = SettingsFile::read(home.appFolder());
    QCOMPARE(back.modelName, QStringLiteral("Letters"));
    QCOMPARE(back.modelFolder, QStringLiteral("/srv/models/"));
}

void TestSettings::secondLineZeroOrEmptyMeansAppFolder_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::newRow("zero") << QByteArray("M\r\n0\r\n0\r\n") << QStringLiteral("M");
    QTest::newRow("empty") << QByteArray("M\r\n\r\n0\r\n") << QStringLiteral("M");
    QTest::newRow("one line") << QByteArray("M\r\n") << QStringLiteral("M");
    QTest::newRow("empty file") << QByteArray() << QString();
}

void TestSettings::secondLineZeroOrEmptyMeansAppFolder()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), content);
    const auto s = SettingsFile::read(home.appFolder());
    QCOMPARE(s.modelName, name);
    QCOMPARE(s.modelFolder, home.appFolder());
}

void TestSettings::pathRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("result");
    // A relative folder is taken from the home folder ("/h/" here), never
    // from the current folder of the process.
    QTest::newRow("backslashes") << QStringLiteral("D:\\Models") << true << QStringLiteral("/h/D:\\Models\\");
    QTest::newRow("slashes") << QStringLiteral("/srv/models") << true << QStringLiteral("/srv/models/");
    QTest::newRow("already ends") << QStringLiteral("/srv/") << true << QStringLiteral("/srv/");
    QTest::newRow("both kinds") << QStringLiteral("/a\\b") << true << QStringLiteral("/a\\b\\/");
    QTest::newRow("relative") << QStringLiteral("models/mine") << true << QStringLiteral("/h/models/mine/");
    QTest::newRow("dot relative") << QStringLiteral("./m/") << true << QStringLiteral("/h/m/");
    QTest::newRow("parent relative") << QStringLiteral("../x") << true << QStringLiteral("/x/");
    QTest::newRow("tilde") << QStringLiteral("~/models") << true << QStringLiteral("/h/models/");
    QTest::newRow("no separator") << QStringLiteral("models") << false << QString();
    QTest::newRow("empty") << QString() << false << QString();
    QTest::newRow("tab") << QStringLiteral("/srv/a\tb/") << false << QString();
    QTest::newRow("nul") << QStringLiteral("/srv/a").append(QChar(u'\0')).append(u"b/") << false << QString();
}

void TestSettings::pathRules()
{
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(QString, result);
    const auto c = ModelPath::normalise(typed, QStringLiteral("/h/"));
    QCOMPARE(c.ok, ok);
    if (ok)
        QCOMPARE(c.path, result);
    else if (typed.isEmpty())
        QCOMPARE(c.message, QStringLiteral("You must select a path for the model files."));
    else if (typed.contains(QLatin1Char('/')))
        QCOMPARE(c.message, QStringLiteral("Path is not in recognized format.\r\n"
                                           "Paths cannot contain line breaks, tabs or other control characters."));
    else
        QCOMPARE(c.message, QStringLiteral("Path is not in recognized format.\r\nPath shoudl contain \\ or /."));
}

void TestSettings::copiesSamplesOnlyIntoFolderWithout()
{
    TestHome home;
    const QString from = home.appFolder();
    for (const char *name : {"Sample Model.mod", "Sample Doc.rtf", "Sample Spreadsheet.xls", "Other.mod"})
        writeFile(from + QLatin1String(name), name);
    const QString to = home.path() + QStringLiteral("new/");
    QDir().mkpath(to);
    const Status copied = ModelPath::copySampleFiles(from, to);
    QVERIFY2(copied, qPrintable(copied.error()));
    QCOMPARE(QDir(to).entryList(QDir::Files),
             (QStringList{QStringLiteral("Sample Doc.rtf"), QStringLiteral("Sample Model.mod"),
                          QStringLiteral("Sample Spreadsheet.xls")}));
    QCOMPARE(readFile(to + QStringLiteral("Sample Doc.rtf")), QByteArray("Sample Doc.rtf"));

    const QString other = home.path() + QStringLiteral("other/");
    writeFile(other + QStringLiteral("sample notes.txt"), "mine");
    QVERIFY(ModelPath::copySampleFiles(from, other));
    QCOMPARE(QDir(other).entryList(QDir::Files), QStringList{QStringLiteral("sample notes.txt")});
}

void TestSettings::copyIntoMissingFolderFails()
{
    TestHome home;
    const Status copied = ModelPath::copySampleFiles(home.appFolder(), home.path() + QStringLiteral("missing/"));
    QVERIFY(!copied);
    QVERIFY(copied.error().contains(QStringLiteral("does not exist")));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
