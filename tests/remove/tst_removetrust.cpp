#include "platform/shortcuts.h"
#include "tests/setup/installfixture.h"

#include <QFileInfo>
#include <QTest>

// The uninstaller deletes only what is the product's.
class TestRemoveTrust : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linkedInstallFolderLosesOnlyTheLink();
    void linkInsideTheInstallFolderKeepsItsTarget();
    void onlyTheProductsShortcutsAreDeleted();
    void waitWindowStaysPaintedWhileMapping();
};

namespace {
void install(const TestHome &home)
{
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, makeInstallerFolder(home)), ui), SETUP1::Outcome::Completed);
}

QByteArray productEntry(const TestHome &home)
{
    return Platform::desktopEntry(QStringLiteral("Quillmate"), home.appFolder(), home.appFolder() + QStringLiteral("QLT"),
                                  QString());
}
} // namespace

void TestRemoveTrust::linkedInstallFolderLosesOnlyTheLink()
{
    TestHome home;
    QTemporaryDir target;
    const QString real = target.path() + QLatin1Char('/');
    writeFile(real + QStringLiteral("QLT"), "a program of someone else's");
    writeFile(real + QStringLiteral("letter.rtf"), "the user's letter");
    QVERIFY(QDir(home.path()).rmdir(QStringLiteral("Quillmate")));
    QVERIFY(QFile::link(target.path(), home.path() + QStringLiteral("Quillmate")));
    const QStringList before = filesBelow(real);

    FakeRemoveUi ui;
    QCOMPARE(Remove::RunRemove(removeFolders(home), ui), Remove::Outcome::Completed);
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("Quillmate")));
    QVERIFY(!QFileInfo(home.path() + QStringLiteral("Quillmate")).isSymLink());
    QCOMPARE(filesBelow(real), before);
    QCOMPARE(readFile(real + QStringLiteral("letter.rtf")), QByteArray("the user's letter"));
}

void TestRemoveTrust::linkInsideTheInstallFolderKeepsItsTarget()
{
    TestHome home;
    install(home);
    QTemporaryDir outside;
    const QString victim = outside.path() + QStringLiteral("/notes.txt");
    writeFile(victim, "kept");
    QVERIFY(QFile::link(victim, home.appFolder() + QStringLiteral("notes.txt")));
    FakeRemoveUi ui;
    QCOMPARE(Remove::RunRemove(removeFolders(home), ui), Remove::Outcome::Completed);
    QVERIFY(!QFileInfo::exists(home.appFolder()));
    QCOMPARE(readFile(victim), QByteArray("kept"));
}

void TestRemoveTrust::onlyTheProductsShortcutsAreDeleted()
{
    TestHome home;
    install(home);
    const QString ours = home.path() + QStringLiteral("Desktop/Quillmate.desktop");
    const QString menu = home.path() + QStringLiteral(".local/share/applications/Quillmate.desktop");
    const QString deep = home.path() + QStringLiteral("a/b/Quillmate.desktop");
    writeFile(deep, productEntry(home));
    // Files of that name that are not shortcuts to the installed program.
    const QMap<QString, QByteArray> kept{
        {QStringLiteral("src/quillmate/data/Quillmate.desktop"),
         "[Desktop Entry]\nType=Application\nName=Quillmate\nExec=QLT\n"},
        {QStringLiteral(".local/share/Trash/files/Quillmate.desktop"), productEntry(home)},
        {QStringLiteral("other/Quillmate.desktop"),
         "[Desktop Entry]\nType=Application\nName=Quillmate\nExec=/usr/bin/QLT\n"},
        {QStringLiteral("group/Quillmate.desktop"),
         "[Desktop Entry]\nName=Q\n[Desktop Action x]\nExec=" + home.appFolder().toUtf8() + "QLT\n"},
        {QStringLiteral("notes/Quillmate.desktop"), "just some notes"},
    };
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        writeFile(home.path() + it.key(), it.value());
    QVERIFY(QFileInfo(ours).isFile() && QFileInfo(menu).isFile());

    FakeRemoveUi ui;
    QCOMPARE(Remove::RunRemove(removeFolders(home), ui), Remove::Outcome::Completed);
    for (const QString &gone : {ours, menu, deep})
        QVERIFY2(!QFileInfo::exists(gone), qPrintable(gone));
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        QCOMPARE(readFile(home.path() + it.key()), it.value());
}

void TestRemoveTrust::waitWindowStaysPaintedWhileMapping()
{
    TestHome home;
    for (int i = 0; i < 30; ++i)
        QDir().mkpath(home.path() + QStringLiteral("f%1/g").arg(i));
    const int folders = Remove::mapFolders(home.path()).size();

    // The wait window is up and says what is being done before the walk
    // starts, and the events run after every folder.
    struct Ui : FakeRemoveUi {
        int duringMapping = 0;
        bool shownFirst = true;
        void processEvents() override
        {
            if (!phases.isEmpty() && phases.last() == QStringLiteral("Mapping directories.")) {
                ++duringMapping;
                shownFirst = shownFirst && waitOpen;
            }
        }
    } ui;
    QCOMPARE(Remove::RunRemove(removeFolders(home), ui), Remove::Outcome::Completed);
    QVERIFY(ui.shownFirst);
    QVERIFY2(ui.duringMapping >= folders, qPrintable(QString::number(ui.duringMapping)));
}

QTEST_GUILESS_MAIN(TestRemoveTrust)
#include "tst_removetrust.moc"
