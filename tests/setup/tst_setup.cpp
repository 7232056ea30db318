#include "core/model/modelfile.h"
#include "platform/shortcuts.h"
#include "platform/registry.h"
#include "installkit/addremoveprogram.h"
#include "tests/setup/installfixture.h"

#include <QFileInfo>
#include <QTest>

namespace {
const QString kKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmate");
}

class TestSetup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void completeInstall();
    void secondInstallOverwritesWithOneRecord();
    void missingUninstallerIsASmallProblem();
    void cancelLeavesEverything();
    void noInformationFileAsksYesNo();
    void installFolderThatCannotBeMade();
    void desktopEntryQuotesTheProgram();
    void unwritableRecordIsNoticedOnce();
};

void TestSetup::completeInstall()
{
    TestHome home;
    QDir().mkpath(home.path() + QStringLiteral("Desktop"));
    const QString installer = makeInstallerFolder(home);
    const auto folders = installFolders(home, installer);
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(folders, ui), SETUP1::Outcome::Completed);

    QCOMPARE(ui.shownInformation, QString::fromUtf8(readFile(TestHome::dataPath(QStringLiteral("QLT.txt")))));
    QCOMPARE(ui.captions, QStringList{QStringLiteral("Installing Quillmate")});
    QCOMPARE(ui.ticks, 7);
    QCOMPARE(ui.lastDots, QStringLiteral(" . . . . . . ."));
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(!ui.waitOpen);

    const QString app = folders.installFolder;
    for (const QString &f : payloadFiles()) {
        if (f == QStringLiteral("RemoveQLT"))
            continue;
        QVERIFY2(QFileInfo(app + f).isFile(), qPrintable(f));
    }
    QVERIFY(QFileInfo(app + QStringLiteral("QLT")).isExecutable());
    QCOMPARE(readFile(app + QStringLiteral("Template.rtf")), readFile(TestHome::dataPath(QStringLiteral("Template.rtf"))));
    const QString uninstaller = home.path() + QStringLiteral(".local/bin/RemoveQLT");
    QVERIFY(QFileInfo(uninstaller).isExecutable());
    QCOMPARE(Platform::registryString(kKey, QStringLiteral("DisplayName")), QStringLiteral("Quillmate"));
    QCOMPARE(Platform::registryString(kKey, QStringLiteral("UninstallString")), uninstaller);

    // The sample model's spreadsheet is the installed one.
    const Result<ModelLists> read = ModelFile::read(app + QStringLiteral("Sample Model.mod"));
    QVERIFY(read);
    const ModelLists &sample = *read;
    QCOMPARE(sample.SheetPaths, QStringList{app + QStringLiteral("Sample Spreadsheet.xls")});
    QCOMPARE(sample.FieldCount(), qint16(5));

    const QByteArray entry = readFile(home.path() + QStringLiteral("Desktop/Quillmate.desktop"));
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    QVERIFY(entry.contains("\nType=Application\n"));
    QVERIFY(entry.contains("\nName=Quillmate\n"));
    QVERIFY(entry.contains("\nExec=\"" + app.toUtf8() + "QLT\"\n"));
    QVERIFY(entry.contains("\nIcon=" + app.toUtf8() + "Quillmate.svg\n"));
    QVERIFY(readFile(app + QStringLiteral("Quillmate.svg")).contains("<svg"));
    // The same entry in the application menu.
    QCOMPARE(readFile(home.path() + QStringLiteral(".local/share/applications/Quillmate.desktop")), entry);

    // The payload is gone from the installer's folder; the installer stays.
    QCOMPARE(filesBelow(installer), QStringList{QStringLiteral("SetupQLT")});
    QCOMPARE(ui.started, QStringList{app + QStringLiteral("QLT")});
}

void TestSetup::secondInstallOverwritesWithOneRecord()
{
    TestHome home;
    QDir().mkpath(home.path() + QStringLiteral("Desktop"));
    FakeSetupUi first;
    SETUP1::RunSetup(installFolders(home, makeInstallerFolder(home, "v1")), first);
    writeFile(home.path() + QStringLiteral("Quillmate/QLT.txt"), "changed by hand");
    FakeSetupUi second;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, makeInstallerFolder(home, "v2")), second),
             SETUP1::Outcome::Completed);
    QVERIFY(readFile(home.path() + QStringLiteral("Quillmate/QLT")).contains("v2"));
    QVERIFY(readFile(home.path() + QStringLiteral(".local/bin/RemoveQLT")).contains("v2"));
    QCOMPARE(readFile(home.path() + QStringLiteral("Quillmate/QLT.txt")), readFile(TestHome::dataPath(QStringLiteral("QLT.txt"))));
    QCOMPARE(readFile(Platform::registryFile()).count("[Software"), 1);
    QCOMPARE(readFile(Platform::registryFile()).count("UninstallString="), 1);
    QVERIFY(second.messages.isEmpty());
}

void TestSetup::missingUninstallerIsASmallProblem()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    QFile::remove(installer + QStringLiteral("RemoveQLT"));
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, installer), ui), SETUP1::Outcome::Completed);
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Small problem|Quillmate uninstall file not found, and therefore not "
                                                     "installed.")});
    QVERIFY(!Platform::registryKeyExists(kKey));
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral(".local/bin/RemoveQLT")));
    QVERIFY(QFileInfo::exists(home.path() + QStringLiteral("Quillmate/Sample Doc.rtf")));
    QCOMPARE(ui.started.size(), 1);
}

void TestSetup::cancelLeavesEverything()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    const QStringList before = filesBelow(home.path());
    FakeSetupUi ui;
    ui.install = false;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, installer), ui), SETUP1::Outcome::Cancelled);
    QCOMPARE(filesBelow(home.path()), before);
    QVERIFY(ui.started.isEmpty());
    QVERIFY(!ui.waitOpen);
}

void TestSetup::noInformationFileAsksYesNo()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    QFile::remove(installer + QStringLiteral("QLT.txt"));
    const QStringList before = filesBelow(home.path());
    FakeSetupUi ui;
    ui.yes = false;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, installer), ui), SETUP1::Outcome::Cancelled);
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Preparing to install Quillmate|This program will install Quillmate "
                                                     "on your computer.\r\nDo you wish to continue?")});
    QVERIFY(ui.shownInformation.isEmpty());
    QCOMPARE(filesBelow(home.path()), before);

    FakeSetupUi yes;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, installer), yes), SETUP1::Outcome::Completed);
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("Quillmate/QLT.txt")));
    QVERIFY(QFileInfo::exists(home.path() + QStringLiteral("Quillmate/QLT")));
}

void TestSetup::installFolderThatCannotBeMade()
{
    TestHome home;
    const QString installer = makeInstallerFolder(home);
    QDir(home.path()).rmdir(QStringLiteral("Quillmate"));
    writeFile(home.path() + QStringLiteral("Quillmate"), "a file in the way");
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, installer), ui), SETUP1::Outcome::Aborted);
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages.first().startsWith(QStringLiteral("Serious problem. Aborting setup.|")));
    QVERIFY(ui.messages.first().endsWith(QStringLiteral(" making ") + home.path() + QStringLiteral("Quillmate/")));
    QCOMPARE(filesBelow(installer).size(), payloadFiles().size() + 1);
    QVERIFY(ui.started.isEmpty());
    QVERIFY(!Platform::registryKeyExists(kKey));
}

void TestSetup::desktopEntryQuotesTheProgram()
{
    const QByteArray entry = Platform::desktopEntry(QStringLiteral("Quillmate"), QStringLiteral("/home/a $b/Quillmate/"),
                                                    QStringLiteral("/home/a $b/Quillmate/QLT"), QStringLiteral("/i.svg"));
    // The quoting escape of "$" is itself escaped as a string value.
    QVERIFY(entry.contains("\nExec=\"/home/a \\\\$b/Quillmate/QLT\"\n"));
    QVERIFY(entry.contains("\nPath=/home/a $b/Quillmate/\n"));
}

void TestSetup::unwritableRecordIsNoticedOnce()
{
    TestHome home;
    writeFile(home.path() + QStringLiteral(".config/Quillmate"), "a file where the record's folder belongs");
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, makeInstallerFolder(home)), ui), SETUP1::Outcome::Completed);
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages.first().startsWith(QStringLiteral("Error notice.|")));
    QVERIFY(ui.messages.first().endsWith(QStringLiteral(" occurred while adding program to Add/Remove Program list.\r\n"
                                                        "Program may require manual uninstall if you decide to remove it.")));
    // The install goes on.
    QVERIFY(QFileInfo::exists(home.path() + QStringLiteral(".local/bin/RemoveQLT")));
    QCOMPARE(ui.started.size(), 1);
}

QTEST_GUILESS_MAIN(TestSetup)
#include "tst_setup.moc"
