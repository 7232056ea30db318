#include "platform/codepage.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "app/state/qltbas.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void foldersFollowHome();
    void documentsFollowUserDirs();
    void fileExistsRules();
    void decodesUtf8OrWindows1252();
    void registryRecord();
};

void TestPlatform::foldersFollowHome()
{
    TestHome home;
    QCOMPARE(Platform::homeDrive(), home.path());
    QCOMPARE(Platform::appFolder(), home.path() + QStringLiteral("Quillmate/"));
    QCOMPARE(Platform::windowsFolder(), home.path() + QStringLiteral(".local/bin/"));
    QCOMPARE(Platform::specialFolder(46), QString());
    QCOMPARE(QLTBas::GetSpecialFolder(46), QString());
    QCOMPARE(Platform::registryFile(), home.path() + QStringLiteral(".config/Quillmate/registry.ini"));
    QCOMPARE(Platform::withTrailingSeparator(QStringLiteral("/")), QStringLiteral("/"));
}

void TestPlatform::documentsFollowUserDirs()
{
    TestHome home;
    QCOMPARE(Platform::documentsFolder(), home.path() + QStringLiteral("Documents/"));
    writeFile(home.path() + QStringLiteral(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    QCOMPARE(Platform::documentsFolder(), home.path() + QStringLiteral("Papers/"));
}

void TestPlatform::fileExistsRules()
{
    TestHome home;
    const QString file = home.path() + QStringLiteral("a.txt");
    const QString hidden = home.path() + QStringLiteral(".hidden");
    writeFile(file, "x");
    writeFile(hidden, "x");
    QVERIFY(QLTBas::FileExists(file));
    QVERIFY(QLTBas::FileExists(hidden));
    QVERIFY(QLTBas::FileExists(file + QChar(u'\0')));
    QVERIFY(!QLTBas::FileExists(home.path()));
    QVERIFY(!QLTBas::FileExists(home.path() + QStringLiteral("missing")));
    QVERIFY(!QLTBas::FileExists(QString()));
}

void TestPlatform::decodesUtf8OrWindows1252()
{
    QCOMPARE(Platform::decodeText(QByteArray("caf\xc3\xa9")), QString::fromUtf8("café"));
    QCOMPARE(Platform::decodeText(QByteArray("caf\xe9 \x93q\x94")), QString::fromUtf8("café “q”"));
    QCOMPARE(Platform::encodeText(QString::fromUtf8("café")), QByteArray("caf\xc3\xa9"));
}

void TestPlatform::registryRecord()
{
    TestHome home;
    const QString key = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmate");
    QVERIFY(!Platform::registryKeyExists(key));
    QVERIFY(Platform::setRegistryString(key, QStringLiteral("DisplayName"), QStringLiteral("Quillmate")));
    QVERIFY(Platform::setRegistryString(key, QStringLiteral("UninstallString"), QStringLiteral("/x/RemoveQLT")));
    QVERIFY(Platform::setRegistryString(key, QStringLiteral("UninstallString"), QStringLiteral("/y/RemoveQLT")));
    QCOMPARE(Platform::registryString(key, QStringLiteral("UninstallString")), QStringLiteral("/y/RemoveQLT"));
    const QByteArray ini = readFile(Platform::registryFile());
    QCOMPARE(ini.count("[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmate]"), 1);
    QCOMPARE(ini.count("UninstallString="), 1);
    QVERIFY(Platform::deleteRegistryKey(key));
    QVERIFY(!Platform::registryKeyExists(key));
    QVERIFY(!Platform::deleteRegistryKey(key));
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
