#include "platform/shortcuts.h"
#include "platform/registry.h"
#include "installkit/addremoveprogram.h"
#include "tests/setup/installfixture.h"

#include <QFileInfo>
#include <QTest>

// The installer never loses, misplaces or writes through what it finds.
class TestSetupTrust : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void payloadIsTheInstallersFolder();
    void installingFromTheInstallFolderKeepsEveryFile();
    void payloadFileStaysWhenItsCopyFails();
    void requiredFileThatCannotBeInstalled_data();
    void requiredFileThatCannotBeInstalled();
    void linkAtAnEntryIsReplacedNotFollowed_data();
    void linkAtAnEntryIsReplacedNotFollowed();
    void sharedPayloadIsNeverDeleted();
    void execLineRoundTrips_data();
    void execLineRoundTrips();
};

namespace {
const QString kKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmate");

} // namespace

void TestSetupTrust::payloadIsTheInstallersFolder()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    // Decoys in the current folder must be neither installed nor deleted.
    QTemporaryDir elsewhere;
    writeFile(elsewhere.path() + QStringLiteral("/QLT"), "decoy program");
    writeFile(elsewhere.path() + QStringLiteral("/QLT.txt"), "decoy text");
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    const SETUP1::Folders folders = SETUP1::foldersFor(installer);
    FakeSetupUi ui;
    const SETUP1::Outcome outcome = SETUP1::RunSetup(folders, ui);
    QDir::setCurrent(before);

    QCOMPARE(outcome, SETUP1::Outcome::Completed);
    QCOMPARE(folders.sourceFolder + QLatin1Char('/'), installer);
    QCOMPARE(folders.installFolder, home.appFolder());
    QVERIFY(!folders.keepPayload);
    QVERIFY(readFile(home.appFolder() + QStringLiteral("QLT")).contains("QLT v1"));
    QCOMPARE(ui.shownInformation, QString::fromUtf8(readFile(TestHome::dataPath(QStringLiteral("QLT.txt")))));
    QCOMPARE(readFile(elsewhere.path() + QStringLiteral("/QLT")), QByteArray("decoy program"));
    QCOMPARE(readFile(elsewhere.path() + QStringLiteral("/QLT.txt")), QByteArray("decoy text"));
    QCOMPARE(filesBelow(installer), QStringList{QStringLiteral("SetupQLT")});
}

void TestSetupTrust::installingFromTheInstallFolderKeepsEveryFile()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    for (const QString &f : payloadFiles())
        QVERIFY(QFile::rename(installer + f, home.appFolder() + f));
    const auto before = snapshot(home.appFolder());
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, home.appFolder()), ui), SETUP1::Outcome::Completed);
    QVERIFY(ui.messages.isEmpty());
    auto after = snapshot(home.appFolder());
    // The sample model is pointed at its spreadsheet, the icon is added,
    // and the uninstaller, completely copied to its own folder, leaves.
    QVERIFY(after.remove(QStringLiteral("Sample Model.mod")) && after.remove(QStringLiteral("Quillmate.svg")));
    QVERIFY(!after.contains(QStringLiteral("RemoveQLT")));
    QCOMPARE(readFile(home.path() + QStringLiteral(".local/bin/RemoveQLT")), before.value(QStringLiteral("RemoveQLT")));
    QVERIFY(after.contains(QStringLiteral("QLT")));
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        QCOMPARE(it.value(), before.value(it.key()));
    QCOMPARE(after.size(), before.size() - 2);
    QVERIFY(QFileInfo(home.path() + QStringLiteral("Desktop/Quillmate.desktop")).isFile());
}

void TestSetupTrust::payloadFileStaysWhenItsCopyFails()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    // A folder in the way: the copy of this optional file cannot complete.
    QVERIFY(QDir().mkpath(home.appFolder() + QStringLiteral("Sample Doc.rtf")));
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, installer), ui), SETUP1::Outcome::Completed);
    QVERIFY(ui.messages.isEmpty()); // optional files are still skipped silently
    QCOMPARE(filesBelow(installer), (QStringList{QStringLiteral("Sample Doc.rtf"), QStringLiteral("SetupQLT")}));
    QCOMPARE(readFile(installer + QStringLiteral("Sample Doc.rtf")), readFile(TestHome::dataPath(QStringLiteral("Sample Doc.rtf"))));
}

void TestSetupTrust::requiredFileThatCannotBeInstalled_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("missing"); // else a folder blocks its destination
    QTest::addColumn<QString>("reason");
    QTest::newRow("QLT missing") << QStringLiteral("QLT") << true << QStringLiteral("No such file or directory");
    QTest::newRow("QLT blocked") << QStringLiteral("QLT") << false << QStringLiteral("Is a directory");
    QTest::newRow("module missing") << QStringLiteral("qltcalc.so") << true << QStringLiteral("No such file or directory");
    QTest::newRow("module blocked") << QStringLiteral("qltcalc.so") << false << QStringLiteral("Is a directory");
    QTest::newRow("uninstaller blocked") << QStringLiteral("RemoveQLT") << false << QStringLiteral("Is a directory");
}

void TestSetupTrust::requiredFileThatCannotBeInstalled()
{
    QFETCH(QString, file);
    QFETCH(bool, missing);
    QFETCH(QString, reason);
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    const SETUP1::Folders folders = installFolders(home, installer);
    const QString destination = (file == QStringLiteral("RemoveQLT") ? folders.uninstallerFolder : folders.installFolder) + file;
    if (missing)
        QVERIFY(QFile::remove(installer + file));
    else
        QVERIFY(QDir().mkpath(destination));
    const auto payloadBefore = snapshot(installer);

    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(folders, ui), SETUP1::Outcome::Aborted);
    QCOMPARE(ui.messages.size(), 1);
    const QString message = ui.messages.first();
    QVERIFY2(message.startsWith(QStringLiteral("Serious problem. Aborting setup.|") + reason), qPrintable(message));
    QVERIFY2(message.contains(installer + file) && message.endsWith(destination), qPrintable(message));
    QVERIFY(!ui.waitOpen);
    QVERIFY(ui.started.isEmpty());
    QVERIFY(!Platform::registryKeyExists(kKey));
    QVERIFY(!QFileInfo::exists(folders.desktopFolder + QStringLiteral("Quillmate.desktop")));
    QVERIFY(!QFileInfo::exists(folders.applicationsFolder + QStringLiteral("Quillmate.desktop")));
    QCOMPARE(snapshot(installer), payloadBefore);
}

void TestSetupTrust::linkAtAnEntryIsReplacedNotFollowed_data()
{
    QTest::addColumn<QString>("entry"); // below the home folder
    QTest::addColumn<bool>("dangling");
    QTest::newRow("desktop") << QStringLiteral("Desktop/Quillmate.desktop") << false;
    QTest::newRow("application menu") << QStringLiteral(".local/share/applications/Quillmate.desktop") << false;
    QTest::newRow("record") << QStringLiteral(".config/Quillmate/registry.ini") << false;
    QTest::newRow("record, dangling") << QStringLiteral(".config/Quillmate/registry.ini") << true;
}

void TestSetupTrust::linkAtAnEntryIsReplacedNotFollowed()
{
    QFETCH(QString, entry);
    QFETCH(bool, dangling);
    TestHome home;
    QTemporaryDir outside;
    const QString victim = outside.path() + QStringLiteral("/victim");
    if (!dangling)
        writeFile(victim, "the user's own file");
    const QString path = home.path() + entry;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(QFile::link(victim, path));

    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, makeInstallerFolder(home)), ui), SETUP1::Outcome::Completed);
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(!QFileInfo(path).isSymLink());
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo::exists(victim), !dangling);
    if (!dangling)
        QCOMPARE(readFile(victim), QByteArray("the user's own file"));
    if (entry.endsWith(QStringLiteral(".desktop")))
        QCOMPARE(Platform::desktopEntryProgram(readFile(path)), home.appFolder() + QStringLiteral("QLT"));
    else
        QCOMPARE(Platform::registryString(kKey, QStringLiteral("DisplayName")), QStringLiteral("Quillmate"));
}

void TestSetupTrust::sharedPayloadIsNeverDeleted()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    const auto before = snapshot(installer);
    SETUP1::Folders folders = installFolders(home, installer);
    folders.keepPayload = true;
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(folders, ui), SETUP1::Outcome::Completed);
    QCOMPARE(snapshot(installer), before);
    QVERIFY(QFileInfo::exists(home.appFolder() + QStringLiteral("QLT")));
    // A payload outside the home folder is a shared one.
    QTemporaryDir system;
    QVERIFY(SETUP1::foldersFor(system.path()).keepPayload);
}

void TestSetupTrust::execLineRoundTrips_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << QStringLiteral("/home/ann/Quillmate/QLT");
    QTest::newRow("blanks") << QStringLiteral("/home/ann smith/Quillmate/QLT");
    QTest::newRow("shell characters") << QStringLiteral("/home/a $b `c` \"d\" \\e/Quillmate/QLT");
    QTest::newRow("percent") << QStringLiteral("/home/100%/Quillmate/QLT");
    QTest::newRow("non-ASCII") << QStringLiteral("/home/J\u00fcrgen/Quillmate/QLT");
}

void TestSetupTrust::execLineRoundTrips()
{
    QFETCH(QString, program);
    const QByteArray entry = Platform::desktopEntry(QStringLiteral("Quillmate"), QStringLiteral("/f/"), program, QString());
    QCOMPARE(Platform::desktopEntryProgram(entry), program);
    QCOMPARE(entry.count('\n'), 10); // one value per line, whatever the path holds
}

QTEST_GUILESS_MAIN(TestSetupTrust)
#include "tst_setuptrust.moc"
