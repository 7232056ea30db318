#include "platform/registry.h"
#include "tests/setup/installfixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

// The real programs, started as a user starts them.
class TestSetupBinaries : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installerStartedFromAnotherFolder();
    void installerStartedInsideTheInstallFolder();
    void installerMissingTheModuleExitsNonZero();
    void argumentsChangeNothing_data();
    void argumentsChangeNothing();
};

namespace {
const QString kKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmate");

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs a program in `folder` with every message box answered Yes/OK; the
// environment (the test home) is inherited.
Run run(const QString &program, const QStringList &arguments, const QString &folder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QLT_SCRIPTED_ANSWERS"), QStringLiteral("yes,yes,ok,ok,ok"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// An installer folder with the real SetupQLT in it.
QString realInstaller(const TestHome &home, const QString &folder)
{
    const QString built = makeInstallerFolder(home);
    QDir().mkpath(folder);
    for (const QString &f : filesBelow(built))
        QFile::rename(built + f, folder + f);
    QFile::remove(folder + QStringLiteral("SetupQLT"));
    QFile::copy(QStringLiteral(QLT_SETUP_BINARY), folder + QStringLiteral("SetupQLT"));
    return folder + QStringLiteral("SetupQLT");
}

} // namespace

void TestSetupBinaries::installerStartedFromAnotherFolder()
{
    TestHome home;
    const QString payload = home.path() + QStringLiteral("Downloads/quillmate/");
    const QString setup = realInstaller(home, payload);
    QTemporaryDir elsewhere;
    writeFile(elsewhere.path() + QStringLiteral("/QLT"), "decoy");
    writeFile(elsewhere.path() + QStringLiteral("/QLT.txt"), "decoy text");

    const Run r = run(setup, {}, elsewhere.path());
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.contains(QStringLiteral("Quillmate Information|QUILLMATE")), qPrintable(r.err));
    QVERIFY(readFile(home.appFolder() + QStringLiteral("QLT")).contains("QLT v1"));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("QLT.txt")), readFile(TestHome::dataPath(QStringLiteral("QLT.txt"))));
    QVERIFY(QFileInfo(home.path() + QStringLiteral(".local/bin/RemoveQLT")).isExecutable());
    QVERIFY(QFileInfo(home.path() + QStringLiteral(".local/share/applications/Quillmate.desktop")).isFile());
    QCOMPARE(Platform::registryString(kKey, QStringLiteral("UninstallString")),
             home.path() + QStringLiteral(".local/bin/RemoveQLT"));
    QCOMPARE(filesBelow(payload), QStringList{QStringLiteral("SetupQLT")});
    QCOMPARE(readFile(elsewhere.path() + QStringLiteral("/QLT")), QByteArray("decoy"));
    QCOMPARE(readFile(elsewhere.path() + QStringLiteral("/QLT.txt")), QByteArray("decoy text"));
}

void TestSetupBinaries::installerStartedInsideTheInstallFolder()
{
    TestHome home;
    const QString setup = realInstaller(home, home.appFolder());
    const auto before = snapshot(home.appFolder());
    const Run r = run(setup, {}, home.appFolder());
    QCOMPARE(r.status, 0);
    const auto after = snapshot(home.appFolder());
    // Only the uninstaller moves, to its own folder.
    QCOMPARE(readFile(home.path() + QStringLiteral(".local/bin/RemoveQLT")), before.value(QStringLiteral("RemoveQLT")));
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key() == QStringLiteral("RemoveQLT"))
            continue;
        QVERIFY2(after.contains(it.key()), qPrintable(it.key()));
        if (it.key() != QStringLiteral("Sample Model.mod"))
            QCOMPARE(after.value(it.key()), it.value());
    }
}

void TestSetupBinaries::installerMissingTheModuleExitsNonZero()
{
    TestHome home;
    const QString payload = home.path() + QStringLiteral("payload/");
    const QString setup = realInstaller(home, payload);
    QVERIFY(QFile::remove(payload + QStringLiteral("qltcalc.so")));
    const auto before = snapshot(payload);
    const Run r = run(setup, {}, home.path());
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Serious problem. Aborting setup.|No such file or directory installing ")
                            + payload + QStringLiteral("qltcalc.so")),
             qPrintable(r.err));
    QCOMPARE(snapshot(payload), before);
    QVERIFY(!Platform::registryKeyExists(kKey));
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("Desktop/Quillmate.desktop")));
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral(".local/share/applications/Quillmate.desktop")));
}

void TestSetupBinaries::argumentsChangeNothing_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // how standard output starts
    QTest::addColumn<QString>("err"); // what standard error holds
    const QString version = QStringLiteral(" (Quillmate) ") + QStringLiteral(QLT_VERSION_TEXT) + QLatin1Char('\n');
    for (const char *name : {"SetupQLT", "RemoveQLT", "QLT"}) {
        const QString n = QLatin1String(name);
        QTest::addRow("%s --help", name) << n << QStringList{QStringLiteral("--help")} << 0
                                         << QStringLiteral("Usage: ") + n + QLatin1Char(' ') << QString();
        QTest::addRow("%s --version", name) << n << QStringList{QStringLiteral("--version")} << 0 << n + version
                                            << QString();
    }
    // Every question would be answered Yes: only the refusal keeps the home as it is.
    const QList<QStringList> refused{{QStringLiteral("--force")},
                                     {QStringLiteral("-y")},
                                     {QStringLiteral("uninstall")},
                                     {QStringLiteral("--help"), QStringLiteral("x")},
                                     {QString()}};
    for (const char *name : {"SetupQLT", "RemoveQLT"}) {
        for (const QStringList &arguments : refused)
            QTest::addRow("%s %s", name, qPrintable(arguments.join(QLatin1Char(' '))))
                << QString::fromLatin1(name) << arguments << 2 << QString()
                << QLatin1String(name) + QStringLiteral(": unknown argument: ") + arguments.join(QLatin1Char(' '))
                       + QStringLiteral("\nUsage: ");
    }
}

void TestSetupBinaries::argumentsChangeNothing()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    TestHome home;
    FakeSetupUi ui;
    QCOMPARE(SETUP1::RunSetup(installFolders(home, makeInstallerFolder(home)), ui), SETUP1::Outcome::Completed);
    // An installed home, and an installer folder with a full payload again.
    const QString setup = realInstaller(home, home.path() + QStringLiteral("again/"));
    const QString binary = program == QStringLiteral("SetupQLT")    ? setup
                           : program == QStringLiteral("RemoveQLT") ? QStringLiteral(QLT_REMOVE_BINARY)
                                                                    : QStringLiteral(QLT_MAIN_BINARY);
    const auto before = snapshot(home.path());
    const Run r = run(binary, arguments, home.path());
    QCOMPARE(r.status, status);
    QVERIFY2(r.out.startsWith(out), qPrintable(r.out));
    QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.contains(err), qPrintable(r.err));
    QCOMPARE(snapshot(home.path()), before);
}

QTEST_GUILESS_MAIN(TestSetupBinaries)
#include "tst_setupbinaries.moc"
