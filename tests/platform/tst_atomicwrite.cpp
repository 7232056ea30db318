#include "platform/codepage.h"
#include "platform/filesystem.h"
#include "core/model/datasets.h"
#include "core/model/modelfile.h"
#include "core/model/textfile.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace {
// The id of a process that has ended: what a writer killed mid-save leaves
// in its temporary file's name.
qint64 deadProcessId()
{
    QProcess p;
    p.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    if (!p.waitForStarted())
        return 0;
    const qint64 pid = p.processId();
    p.kill();
    p.waitForFinished();
    return pid;
}

QString leftover(const QString &target, qint64 pid)
{
    return QLatin1Char('.') + target + QLatin1Char('.') + QString::number(pid) + QStringLiteral(".qlt-tmp");
}

QStringList allFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
} // namespace

class TestAtomicWrite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesAndReplaces();
    void replacesSymbolicLinkNotItsTarget();
    void keepsPermissionsOfReplacedFile();
    void failureLeavesOldFileAndNoTemporary();
    void temporaryNameRule_data();
    void temporaryNameRule();
    void staleTemporariesRemovedOnNextWrite();
    void batchSweepsEachFolderOnce();
    void temporariesNeverListedAsTagsOrModels();
    void deferredSyncKeepsWritesAtomicAndReportsFailure();
    void windows1252Bytes_data();
    void windows1252Bytes();
};

void TestAtomicWrite::writesAndReplaces()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("a.txt");
    writeFile(path, QByteArray(10000, 'x'));
    QVERIFY(Platform::writeFileAtomically(path, "short"));
    QCOMPARE(readFile(path), QByteArray("short"));
    QVERIFY(Platform::writeFileAtomically(path, QByteArray()));
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(allFiles(home.path()), QStringList{QStringLiteral("a.txt")});
}

void TestAtomicWrite::replacesSymbolicLinkNotItsTarget()
{
    TestHome home;
    const QString outside = home.path() + QStringLiteral("elsewhere/precious.txt");
    writeFile(outside, "precious");
    const QString link = home.documents() + QStringLiteral("Smith-Letter.rtf");
    QVERIFY(QFile::link(outside, link));
    QVERIFY(Platform::writeFileAtomically(link, "filled"));
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(readFile(link), QByteArray("filled"));
    QCOMPARE(readFile(outside), QByteArray("precious"));
    // Our own text files take the same road.
    const QString ini = home.appFolder() + QStringLiteral("qlt.ini");
    QVERIFY(QFile::link(outside, ini));
    QVERIFY(TextFile::writeLines(ini, {QStringLiteral("Model")}));
    QVERIFY(!QFileInfo(ini).isSymLink());
    QCOMPARE(readFile(outside), QByteArray("precious"));
}

void TestAtomicWrite::keepsPermissionsOfReplacedFile()
{
    TestHome home;
    const QString path = home.path() + QStringLiteral("p.txt");
    writeFile(path, "old");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(Platform::writeFileAtomically(path, "new"));
    QCOMPARE(QFile::permissions(path) & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                                    | QFile::WriteUser);
}

void TestAtomicWrite::failureLeavesOldFileAndNoTemporary()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    TestHome home;
    const QString folder = home.path() + QStringLiteral("locked/");
    writeFile(folder + QStringLiteral("a.txt"), "old");
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    QCOMPARE(Platform::writeFileAtomically(folder + QStringLiteral("a.txt"), "new").error(),
             QStringLiteral("Permission denied"));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(readFile(folder + QStringLiteral("a.txt")), QByteArray("old"));
    QCOMPARE(allFiles(folder), QStringList{QStringLiteral("a.txt")});
    QCOMPARE(Platform::writeFileAtomically(home.path() + QStringLiteral("missing/a.txt"), "x").error(),
             QStringLiteral("No such file or directory"));
}

void TestAtomicWrite::temporaryNameRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ours");
    QTest::newRow("ours") << QStringLiteral(".Smith.123.qlt-tmp") << true;
    QTest::newRow("model") << QStringLiteral(".Foo.mod.9.qlt-tmp") << true;
    QTest::newRow("tag") << QStringLiteral("Smith") << false;
    QTest::newRow("visible") << QStringLiteral("Smith.qlt-tmp") << false;
    QTest::newRow("hidden tag") << QStringLiteral(".Smith") << false;
    QTest::newRow("suffix alone") << QStringLiteral(".qlt-tmp") << false;
}

void TestAtomicWrite::temporaryNameRule()
{
    QFETCH(QString, name);
    QFETCH(bool, ours);
    QCOMPARE(Platform::isOwnTemporaryFile(name), ours);
}

void TestAtomicWrite::staleTemporariesRemovedOnNextWrite()
{
    TestHome home;
    const qint64 dead = deadProcessId();
    QVERIFY(dead > 0);
    const QString folder = home.appFolder();
    writeFile(folder + leftover(QStringLiteral("Smith"), dead), "half");
    writeFile(folder + leftover(QStringLiteral("Jones"), ::getpid()), "half");
    // A writer that is still running (the system's first process) keeps its file.
    writeFile(folder + leftover(QStringLiteral("Brown"), 1), "busy");
    writeFile(folder + QStringLiteral(".Smith"), "a user's own hidden file");
    QVERIFY(Platform::writeFileAtomically(folder + QStringLiteral("Other"), "x"));
    QCOMPARE(allFiles(folder), (QStringList{QStringLiteral(".Brown.1.qlt-tmp"), QStringLiteral(".Smith"),
                                            QStringLiteral("Other")}));
}

// A batch beside thousands of files reads the folder once, not per copy;
// the next batch sweeps again.
void TestAtomicWrite::batchSweepsEachFolderOnce()
{
    TestHome home;
    const qint64 dead = deadProcessId();
    QVERIFY(dead > 0);
    const QString folder = home.appFolder();
    const QString first = leftover(QStringLiteral("First"), dead);
    const QString later = leftover(QStringLiteral("Later"), dead);
    writeFile(folder + first, "half");
    {
        Platform::DeferredSync batch;
        QVERIFY(Platform::writeFileAtomically(folder + QStringLiteral("a"), "a"));
        writeFile(folder + later, "half");
        QVERIFY(Platform::writeFileAtomically(folder + QStringLiteral("b"), "b"));
        QCOMPARE(allFiles(folder), (QStringList{later, QStringLiteral("a"), QStringLiteral("b")}));
    }
    {
        Platform::DeferredSync batch;
        QVERIFY(Platform::writeFileAtomically(folder + QStringLiteral("c"), "c"));
    }
    QCOMPARE(allFiles(folder), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

void TestAtomicWrite::temporariesNeverListedAsTagsOrModels()
{
    TestHome home;
    const QString data = home.appFolder() + QStringLiteral("Sample Model/");
    QDir().mkpath(data);
    QVERIFY(DataSets::write(data + QStringLiteral("Smith"), {QStringLiteral("Ann")}));
    writeFile(data + leftover(QStringLiteral("Jones"), 1), "killed during its rename");
    writeFile(data + QStringLiteral(".hidden tag"), "Bob\r\n");
    QCOMPARE(DataSets::listTags(data), (QStringList{QStringLiteral(".hidden tag"), QStringLiteral("Smith")}));
    writeFile(home.appFolder() + QStringLiteral("Foo.mod"), " 0 \r\n 0 \r\n 0 \r\n");
    writeFile(home.appFolder() + leftover(QStringLiteral("Bar.mod"), 1), " 0 \r\n");
    QCOMPARE(ModelFile::listModels(home.appFolder()), QStringList{QStringLiteral("Foo")});
}

void TestAtomicWrite::deferredSyncKeepsWritesAtomicAndReportsFailure()
{
    TestHome home;
    const QString kept = home.path() + QStringLiteral("kept/");
    const QString gone = home.path() + QStringLiteral("gone/");
    writeFile(kept + QStringLiteral("a.txt"), "old");
    QDir().mkpath(gone);
    {
        Platform::DeferredSync deferred;
        QVERIFY(Platform::writeFileAtomically(kept + QStringLiteral("a.txt"), "new"));
        QVERIFY(Platform::writeFileAtomically(kept + QStringLiteral("b.txt"), "b"));
        // Written and in place at once; only the wait for the disk is left.
        QCOMPARE(readFile(kept + QStringLiteral("a.txt")), QByteArray("new"));
        QCOMPARE(allFiles(kept), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
        const Status committed = deferred.commit();
        QVERIFY2(committed, qPrintable(committed.error()));

        QVERIFY(Platform::writeFileAtomically(gone + QStringLiteral("c.txt"), "c"));
        QVERIFY(QDir(gone).removeRecursively());
        const Status lost = deferred.commit();
        QVERIFY(!lost);
        QCOMPARE(lost.error(), QStringLiteral("No such file or directory"));
        // What was committed is not committed again.
        QVERIFY(deferred.commit());
    }
    // Without one, every write waits for the disk itself again.
    QVERIFY(Platform::writeFileAtomically(kept + QStringLiteral("a.txt"), "last"));
    QCOMPARE(readFile(kept + QStringLiteral("a.txt")), QByteArray("last"));
}

void TestAtomicWrite::windows1252Bytes_data()
{
    QTest::addColumn<uint>("codePoint");
    QTest::addColumn<int>("byte"); // -1: not in the code page
    QTest::newRow("ascii") << uint('A') << int('A');
    QTest::newRow("u umlaut") << 0xFCu << 0xFC;
    QTest::newRow("euro") << 0x20ACu << 0x80;
    QTest::newRow("left quote") << 0x201Cu << 0x93;
    QTest::newRow("z caron") << 0x17Eu << 0x9E;
    QTest::newRow("l stroke") << 0x141u << -1;
    QTest::newRow("emoji") << 0x1F600u << -1;
}

void TestAtomicWrite::windows1252Bytes()
{
    QFETCH(uint, codePoint);
    QFETCH(int, byte);
    const std::optional<char> b = Platform::toWindows1252(codePoint);
    QCOMPARE(b.has_value(), byte >= 0);
    if (b) {
        QCOMPARE(static_cast<unsigned char>(*b), byte);
        // The decoder agrees with the encoder.
        QCOMPARE(Platform::decodeWindows1252(QByteArray(1, *b)).toUcs4().value(0), codePoint);
    }
}

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomicwrite.moc"
