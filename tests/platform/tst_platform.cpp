#include "platform/codepage.h"
#include "platform/folders.h"
#include "platform/officerun.h"
#include "platform/registry.h"
#include "core/model/qltbas.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTest>
#include <QUrl>

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void foldersFollowHome();
    void documentsFollowUserDirs();
    void officeProfilesFollowHome();
    void fileExistsRules();
    void decodesUtf8OrWindows1252();
    void validUtf8_data();
    void validUtf8();
    void registryRecord();
};

void TestPlatform::foldersFollowHome()
{
    TestHome home;
    QCOMPARE(Platform::homeDrive(), home.path());
    QCOMPARE(Platform::appFolder(), home.path() + QStringLiteral("Quillmate/"));
    QCOMPARE(Platform::uninstallerFolder(), home.path() + QStringLiteral(".local/bin/"));
    QCOMPARE(Platform::sharedDocumentsFolder(), QString());
    QCOMPARE(Platform::sharedDocumentsFolder(), QString());
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

void TestPlatform::officeProfilesFollowHome()
{
    // The second home comes after the first is gone: a profile leased
    // there must not be handed out again.
    for (int i = 0; i < 2; ++i) {
        TestHome home;
        const QString url = Platform::officeProfileUrl(QStringLiteral("calc-profile"));
        QCOMPARE(QUrl(url).toLocalFile(), home.path() + QStringLiteral(".cache/Quillmate/calc-profile"));
        QVERIFY(QFileInfo(QUrl(url).toLocalFile()).isDir());
        QCOMPARE(Platform::officeProfileUrl(QStringLiteral("calc-profile")), url); // leased for the process
    }
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

void TestPlatform::validUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("ascii") << QByteArray("plain text of some length") << true;
    QTest::newRow("two bytes") << QByteArray("caf\xc3\xa9") << true;
    QTest::newRow("three bytes") << QByteArray("\xe2\x82\xac 5") << true;
    QTest::newRow("four bytes") << QByteArray("\xf0\x9f\x98\x80") << true;
    QTest::newRow("windows-1252") << QByteArray("caf\xe9") << false;
    QTest::newRow("after eight ascii") << QByteArray("abcdefghi\xe9jklmnop") << false;
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << false;
    QTest::newRow("overlong three") << QByteArray("\xe0\x80\xaf") << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
    QTest::newRow("past unicode") << QByteArray("\xf4\x90\x80\x80") << false;
    QTest::newRow("cut short") << QByteArray("ok \xe2\x82") << false;
    QTest::newRow("lone trail byte") << QByteArray("\x80") << false;
}

void TestPlatform::validUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(Platform::isValidUtf8(bytes), valid);
    // The same answer as Qt's own decoder.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    QCOMPARE(!decoder.hasError(), valid);
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
