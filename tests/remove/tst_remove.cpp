#include "platform/shortcuts.h"
#include "platform/registry.h"
#include "installkit/addremoveprogram.h"
#include "tests/setup/installfixture.h"

#include <QFileInfo>
#include <QTest>

#include <unistd.h>

namespace {
QStringList traceLines(const TestHome &home)
{
    QString text = QString::fromUtf8(readFile(home.path() + QStringLiteral("gcur.txt")));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void install(const TestHome &home)
{
    QDir().mkpath(home.path() + QStringLiteral("Desktop"));
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, makeInstallerFolder(home)), ui), SETUP1::Outcome::Completed);
}

void makeReadOnly(const QString &path) { QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther); }
} // namespace

class TestRemove : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void completeUninstall();
    void noLeavesEverything();
    void secondUninstallHasNothingToDelete();
    void linkCycleAndLinksOutside();
    void unreadableFolderIsKeptNotEntered();
    void mappingStopsAtTheLimit();
    void realUnreadableFolder();
};

void TestRemove::completeUninstall()
{
    TestHome home;
    QTemporaryDir elsewhere;
    install(home);
    const QString app = home.path() + QStringLiteral("Quillmate/");
    const QStringList shortcuts{home.path() + QStringLiteral("Desktop/Quillmate.desktop"),
                                home.path() + QStringLiteral(".local/share/applications/Quillmate.desktop"),
                                home.path() + QStringLiteral("deep/a/b/c/Quillmate.desktop")};
    for (const QString &s : shortcuts.mid(2))
        writeFile(s, Platform::desktopEntry(QStringLiteral("Quillmate"), app, app + QStringLiteral("QLT"), QString()));
    makeReadOnly(shortcuts[1]);
    writeFile(home.path() + QStringLiteral("Desktop/Other.desktop"), "keep");
    writeFile(elsewhere.path() + QStringLiteral("/Quillmate.desktop"), "another drive");
    makeReadOnly(app + QStringLiteral("Template.rtf"));
    const QStringList appFiles = QDir(app).entryList(QDir::Files, QDir::Name);

    FakeRemoveUi ui;
    QCOMPARE(Remove::RunRemove(removeFolders(home), ui), Remove::Outcome::Completed);

    QCOMPARE(ui.messages.size(), 2);
    QCOMPARE(ui.messages[0], QStringLiteral("*** WARNING ***|This program will uninstall Quillmate. Gone! No more "
                                            "Quillmate. Are you sure you want to continue?"));
    QCOMPARE(ui.messages[1], QStringLiteral("Finished.|Uninstall of QLT is complete."));
    QCOMPARE(ui.phases, (QStringList{QStringLiteral("Mapping directories."), QStringLiteral("Emptying app directory."),
                                     QStringLiteral("Killing app directory."), QStringLiteral("Killing links.")}));
    QVERIFY(!ui.waitOpen);
    QVERIFY(!QFileInfo::exists(app));
    for (const QString &s : shortcuts)
        QVERIFY2(!QFileInfo::exists(s), qPrintable(s));
    QVERIFY(QFileInfo::exists(home.path() + QStringLiteral("Desktop/Other.desktop")));
    QVERIFY(QFileInfo::exists(elsewhere.path() + QStringLiteral("/Quillmate.desktop")));
    QVERIFY(!Platform::registryKeyExists(AddRemoveProgram::keyPath(QStringLiteral("Quillmate"))));

    QStringList expected{QStringLiteral("Mapping directories"), QStringLiteral("Done mapping"),
                         QStringLiteral("Emptying app directory")};
    for (const QString &f : appFiles)
        expected << QStringLiteral("Unlocking ") + app + f << QStringLiteral("Killing ") + app + f;
    expected << QStringLiteral("Changing directory") << QStringLiteral("Killing directory")
             << QStringLiteral("Killing links") << QStringLiteral("Unloading wait form");
    QCOMPARE(traceLines(home), expected);

    // Nothing of the product is left but the trace, the uninstaller itself,
    // the installer's own program and what is not ours.
    QCOMPARE(filesBelow(home.path()),
             (QStringList{QStringLiteral(".local/bin/RemoveQLT"), QStringLiteral("Desktop/Other.desktop"),
                          QStringLiteral("gcur.txt"), QStringLiteral("installer/SetupQLT")}));
}

void TestRemove::noLeavesEverything()
{
    TestHome home;
    install(home);
    const QStringList before = filesBelow(home.path());
    FakeRemoveUi ui;
    ui.yes = false;
    QCOMPARE(Remove::RunRemove(removeFolders(home), ui), Remove::Outcome::Aborted);
    QCOMPARE(ui.messages.last(), QStringLiteral("Alert|Uninstall aborted."));
    QCOMPARE(filesBelow(home.path()), before);
    QVERIFY(Platform::registryKeyExists(AddRemoveProgram::keyPath(QStringLiteral("Quillmate"))));
    QVERIFY(!ui.waitOpen);
}

void TestRemove::secondUninstallHasNothingToDelete()
{
    TestHome home;
    install(home);
    FakeRemoveUi first;
    Remove::RunRemove(removeFolders(home), first);
    const int firstLines = traceLines(home).size();
    FakeRemoveUi second;
    QCOMPARE(Remove::RunRemove(removeFolders(home), second), Remove::Outcome::Completed);
    QCOMPARE(second.messages.last(), QStringLiteral("Finished.|Uninstall of QLT is complete."));
    const QStringList lines = traceLines(home);
    QVERIFY(lines.size() > firstLines);
    const QStringList run = lines.mid(firstLines);
    QCOMPARE(run.first(), QStringLiteral("Mapping directories"));
    QVERIFY(!run.join(QLatin1Char('\n')).contains(QStringLiteral("Killing /")));
    // The folder is gone already: its removal fails, and the failure is traced.
    const qsizetype at = run.indexOf(QStringLiteral("Killing directory"));
    QVERIFY(at > 0);
    QCOMPARE(run[at + 1], QStringLiteral("No such file or directory"));
    QCOMPARE(run.last(), QStringLiteral("Unloading wait form"));
}

void TestRemove::linkCycleAndLinksOutside()
{
    TestHome home;
    QTemporaryDir outside;
    writeFile(outside.path() + QStringLiteral("/Quillmate.desktop"), "not ours to delete");
    QDir().mkpath(home.path() + QStringLiteral("a/b"));
    QVERIFY(QFile::link(home.path() + QStringLiteral("a"), home.path() + QStringLiteral("a/b/loop")));
    QVERIFY(QFile::link(outside.path(), home.path() + QStringLiteral("a/outside")));
    const QStringList folders = Remove::mapFolders(home.path());
    QVERIFY(folders.contains(home.path() + QStringLiteral("a/b/")));
    QVERIFY(!folders.contains(home.path() + QStringLiteral("a/b/loop/")));
    QVERIFY(!folders.contains(home.path() + QStringLiteral("a/outside/")));
    QCOMPARE(folders.first(), home.path());
    // Breadth first: a folder comes after every folder of the level above.
    QVERIFY(folders.indexOf(home.path() + QStringLiteral("a/b/")) > folders.indexOf(home.path() + QStringLiteral("Quillmate/")));

    FakeRemoveUi ui;
    QCOMPARE(Remove::RunRemove(removeFolders(home), ui), Remove::Outcome::Completed);
    QVERIFY(QFileInfo::exists(outside.path() + QStringLiteral("/Quillmate.desktop")));
}

void TestRemove::unreadableFolderIsKeptNotEntered()
{
    // Root reads every folder, so the refusal is simulated.
    auto lister = [](const QString &folder, QStringList &subs) {
        if (folder == QStringLiteral("/r/locked/"))
            return false;
        subs.clear();
        if (folder == QStringLiteral("/r/"))
            subs = {QStringLiteral("/r/locked"), QStringLiteral("/r/open")};
        else if (folder == QStringLiteral("/r/open/"))
            subs = {QStringLiteral("/r/open/inner")};
        else if (folder == QStringLiteral("/r/locked/"))
            subs = {QStringLiteral("/r/locked/never")};
        return true;
    };
    QCOMPARE(Remove::mapFolders(QStringLiteral("/r/"), Remove::kMaxFolders, lister),
             (QStringList{QStringLiteral("/r/"), QStringLiteral("/r/locked/"), QStringLiteral("/r/open/"),
                          QStringLiteral("/r/open/inner/")}));
}

void TestRemove::mappingStopsAtTheLimit()
{
    // A tree without end: ten subfolders in every folder.
    auto lister = [](const QString &folder, QStringList &subs) {
        subs.clear();
        for (int i = 0; i < 10; ++i)
            subs << folder + QString::number(i);
        return true;
    };
    const QStringList folders = Remove::mapFolders(QStringLiteral("/x/"), Remove::kMaxFolders, lister);
    QCOMPARE(folders.size(), 32767);
    QCOMPARE(folders[1], QStringLiteral("/x/0/"));
    QCOMPARE(folders[11], QStringLiteral("/x/0/0/"));
}

void TestRemove::realUnreadableFolder()
{
    if (::geteuid() == 0)
        QSKIP("root can read every folder");
    TestHome home;
    QDir().mkpath(home.path() + QStringLiteral("locked/inner"));
    QFile::setPermissions(home.path() + QStringLiteral("locked"), QFile::WriteOwner);
    const QStringList folders = Remove::mapFolders(home.path());
    QFile::setPermissions(home.path() + QStringLiteral("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(folders.contains(home.path() + QStringLiteral("locked/")));
    QVERIFY(!folders.contains(home.path() + QStringLiteral("locked/inner/")));
}

QTEST_GUILESS_MAIN(TestRemove)
#include "tst_remove.moc"
