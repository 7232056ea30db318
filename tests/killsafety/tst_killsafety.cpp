// Kills the save driver with SIGKILL at random moments while it saves, and
// checks after every kill that the file is the old or the new version,
// complete, and that no temporary file shows up where the program lists
// models, tags or documents. Set QLT_KILL_SEED to replay a run.

#include "killdriver.h"

#include "core/fill/documents.h"
#include "core/fill/markers.h"
#include "core/fill/zippackage.h"
#include "core/model/datasets.h"
#include "core/model/settingsfile.h"
#include "core/model/textfile.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <thread>

#include <signal.h>

using namespace KillSafety;

namespace {
// A hundred kills per kind; the sanitized run, where every process starts
// several times slower, asks for fewer (QLT_KILLS_PER_KIND).
int killsPerKind()
{
    const int asked = qEnvironmentVariableIntValue("QLT_KILLS_PER_KIND");
    return asked > 0 ? asked : 100;
}
// Kills fall within this long after the driver's first save: a few dozen
// saves of every kind.
constexpr int kLongestDelayMicroseconds = 20000;

// Empty when the state after a kill is sound, else what is wrong.
QString checkAfterKill(const QString &kind, const QString &home)
{
    const QString app = appFolder(home);
    // Settings and data sets live beside the models, so nothing written
    // there may ever be listed as a model.
    const QStringList models = ModelFile::listModels(app);
    const QStringList expectedModels = kind == QStringLiteral("model") ? QStringList{modelName()} : QStringList();
    if (models != expectedModels)
        return QStringLiteral("models listed: ") + models.join(QStringLiteral(", "));
    if (kind == QStringLiteral("model")) {
        const Result<ModelLists> m = ModelFile::read(ModelFile::modelPath(app, modelName()));
        if (!m)
            return QStringLiteral("model unreadable: ") + m.error();
        if (*m != model(0) && *m != model(1))
            return QStringLiteral("model is neither version");
    } else if (kind == QStringLiteral("settings")) {
        const SettingsFile::Settings s = SettingsFile::read(app);
        const Result<QStringList> lines = TextFile::readLines(SettingsFile::settingsPath(app));
        if ((s.modelName != model(0).FieldNames.last() && s.modelName != model(1).FieldNames.last())
            || s.modelFolder != app || !lines || lines->size() != 35)
            return QStringLiteral("settings are neither version: ") + s.modelName;
    } else if (kind == QStringLiteral("dataset")) {
        const QString folder = DataSets::dataFolder(app, modelName());
        if (DataSets::listTags(folder) != QStringList{tag()})
            return QStringLiteral("tags listed: ") + DataSets::listTags(folder).join(QStringLiteral(", "));
        const Result<QStringList> v = DataSets::read(folder + tag());
        if (!v || (*v != values(0) && *v != values(1)))
            return QStringLiteral("data set is neither version");
    } else if (isSpreadsheet(kind)) {
        // What the program lists in the spreadsheet's folder: its documents,
        // of which a CSV is one and a workbook is not.
        const QString sheets = sheetFolder(home);
        const QString book = QStringLiteral("Book.") + kind;
        const QString listed = kind == QStringLiteral("csv") ? book : QString();
        if (Documents::FindDocumentFile(sheets, QStringLiteral("Book")) != listed
            || !ModelFile::listModels(sheets).isEmpty())
            return QStringLiteral("spreadsheet folder lists ") + Documents::FindDocumentFile(sheets, QStringLiteral("Book"));
        const Result<QList<QStringList>> read = sheetRows(sheets + book);
        if (!read)
            return QStringLiteral("spreadsheet unreadable: ") + read.error();
        const QList<QStringList> &rows = *read;
        if (rows.size() < 2 || rows.first() != QStringList{QStringLiteral("Name"), QStringLiteral("City")}
            || rows.last() != QStringList{QStringLiteral("&Name&"), QStringLiteral("&City&")})
            return QStringLiteral("spreadsheet lost its labels or markers");
        for (qsizetype r = 1; r + 1 < rows.size(); ++r)
            if (rows[r] != csvRecord(static_cast<int>(r)))
                return QStringLiteral("record %1 is wrong: ").arg(r) + rows[r].join(QLatin1Char('|'));
    } else if (kind == QStringLiteral("document")) {
        const QString save = saveFolder(home);
        if (Documents::FindDocumentFile(app, QStringLiteral("Letter")) != QStringLiteral("Letter.rtf"))
            return QStringLiteral("document listed as ") + Documents::FindDocumentFile(app, QStringLiteral("Letter"));
        if (readFile(app + QStringLiteral("Letter.rtf")) != documentText())
            return QStringLiteral("the document itself changed");
        const QByteArray saved = readFile(save + QStringLiteral("Smith-Letter.rtf"));
        bool matches = false;
        for (int version : {0, 1})
            matches = matches
                || saved == Markers::ReplaceFieldMarkers(documentText(), QStringLiteral(".rtf"), documentFields(),
                                                        {documentValue(version, 1), documentValue(version, 2)})
                               .value();
        if (!matches)
            return QStringLiteral("saved copy is neither version (%1 bytes)").arg(saved.size());
    }
    return QString();
}
} // namespace

class TestKillSafety : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killDuringSaves_data();
    void killDuringSaves();
    void killDuringBatch();
};

void TestKillSafety::killDuringSaves_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : kinds())
        QTest::newRow(qPrintable(kind)) << kind;
}

void TestKillSafety::killDuringSaves()
{
    QFETCH(QString, kind);
    TestHome home;
    const quint32 seed = qEnvironmentVariableIsSet("QLT_KILL_SEED")
        ? static_cast<quint32>(qEnvironmentVariableIntValue("QLT_KILL_SEED"))
        : QRandomGenerator::global()->generate();
    qInfo("kind %s, seed %u", qPrintable(kind), seed);
    QRandomGenerator random(seed);
    const int kills = killsPerKind();
    for (int kill = 1; kill <= kills; ++kill) {
        QProcess driver;
        driver.start(QStringLiteral(QLT_KILLDRIVER), {kind, home.path()});
        QVERIFY2(driver.waitForReadyRead(30000), qPrintable(QString::fromLocal8Bit(driver.readAllStandardError())));
        QCOMPARE(driver.readLine().trimmed(), QByteArray("ready"));
        // The random moment is the point of the test: the driver saves
        // without pause, so this lands anywhere inside a save.
        std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(kLongestDelayMicroseconds)));
        QCOMPARE(::kill(static_cast<pid_t>(driver.processId()), SIGKILL), 0);
        QVERIFY(driver.waitForFinished(30000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit); // still saving when killed, never failing
        const QString problem = checkAfterKill(kind, home.path());
        QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("after kill %1: ").arg(kill) + problem));
    }
}

namespace {
// The records of a workbook, after checking that it reads back whole and
// keeps its labels and markers; empty with `why` set when it does not.
QList<QStringList> batchRecords(const QString &path, QString *why)
{
    if (Status read = Native::handles(path) ? Zip::Package::readsBack(path) : Status(); !read) {
        *why = path + QStringLiteral(": ") + read.error();
        return {};
    }
    const Result<QList<QStringList>> rows = sheetRows(path);
    if (!rows || rows->size() < 2 || rows->first() != QStringList{QStringLiteral("Name"), QStringLiteral("City")}
        || rows->last() != QStringList{QStringLiteral("&Name&"), QStringLiteral("&City&")}) {
        *why = path + QStringLiteral(": ") + (rows ? QStringLiteral("labels or markers lost") : rows.error());
        return {};
    }
    return rows->mid(1, rows->size() - 2);
}
} // namespace

// Real QLT batches into a .csv, an .xlsx and an .ods, killed at random
// moments while they run: every workbook and its backup read back whole
// after every kill, every record reported added is there, and the next
// batch completes.
void TestKillSafety::killDuringBatch()
{
    TestHome home;
    const QString app = home.appFolder();
    const QStringList books{app + QStringLiteral("Book.csv"), app + QStringLiteral("Book.xlsx"),
                            app + QStringLiteral("Book.ods")};
    QVERIFY(writeFile(books[0], csvStart()));
    for (const QString &ext : {QStringLiteral("xlsx"), QStringLiteral("ods")})
        QVERIFY(QFile::copy(QStringLiteral(QLT_WORKBOOKS "row.") + ext, app + QStringLiteral("Book.") + ext));
    ModelLists m;
    m.FieldNames = documentFields();
    m.SheetPaths = books;
    m.SheetNumbers = {1, 1, 1};
    QVERIFY(ModelFile::write(ModelFile::modelPath(app, modelName()), m));
    constexpr int kRows = 300;
    QByteArray csv = "Name,City\n";
    for (int r = 1; r <= kRows; ++r)
        csv += "Ann " + QByteArray::number(r) + ",Town " + QByteArray::number(r) + '\n';
    QVERIFY(writeFile(home.path() + QStringLiteral("rows.csv"), csv));
    const QStringList arguments{QStringLiteral("fill"), modelName(), QStringLiteral("--rows"),
                                home.path() + QStringLiteral("rows.csv"), QStringLiteral("--sheets")};
    const quint32 seed = qEnvironmentVariableIsSet("QLT_KILL_SEED")
        ? static_cast<quint32>(qEnvironmentVariableIntValue("QLT_KILL_SEED"))
        : QRandomGenerator::global()->generate();
    qInfo("batch, seed %u", seed);
    QRandomGenerator random(seed);
    QList<qsizetype> counts(books.size(), 0);
    // A whole batch takes some tens of milliseconds, so the kills fall
    // within as long as the first, complete batch took, and most of them
    // land before it ends. The last batch completes again after the kills.
    constexpr int kKills = 20;
    qint64 batchMicroseconds = 0;
    int killedRunning = 0;
    for (int kill = 0; kill <= kKills + 1; ++kill) {
        const bool complete = kill == 0 || kill == kKills + 1;
        QProcess qlt;
        QElapsedTimer timer;
        timer.start();
        qlt.start(QStringLiteral(QLT_BINARY), arguments);
        QVERIFY(qlt.waitForStarted());
        if (complete) {
            QVERIFY(qlt.waitForFinished(120000));
            QCOMPARE(qlt.exitStatus(), QProcess::NormalExit);
            QCOMPARE(qlt.exitCode(), 0);
            if (kill == 0)
                batchMicroseconds = timer.nsecsElapsed() / 1000;
        } else {
            const qint64 delay = random.bounded(batchMicroseconds);
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            ::kill(static_cast<pid_t>(qlt.processId()), SIGKILL);
            QVERIFY(qlt.waitForFinished(30000));
            if (qlt.exitStatus() == QProcess::CrashExit)
                ++killedRunning;
            else // batches run faster than the first did: kill sooner
                batchMicroseconds = std::max<qint64>(delay, 1000);
        }
        const QString out = QString::fromUtf8(qlt.readAllStandardOutput());
        for (qsizetype b = 0; b < books.size(); ++b) {
            QString why;
            const QList<QStringList> records = batchRecords(books[b], &why);
            QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("after kill %1: ").arg(kill) + why));
            const QString backup = app + QStringLiteral("Backup-") + QFileInfo(books[b]).fileName();
            if (QFileInfo::exists(backup)) {
                batchRecords(backup, &why);
                QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("after kill %1: ").arg(kill) + why));
            }
            // Whatever was reported added is there; nothing else is.
            const qsizetype added = out.count(QStringLiteral("added a record to ") + QFileInfo(books[b]).fileName());
            QVERIFY2(records.size() >= counts[b] + added, qPrintable(books[b]));
            QVERIFY(records.size() <= counts[b] + kRows);
            if (complete)
                QCOMPARE(records.size(), counts[b] + kRows);
            for (qsizetype r = counts[b]; r < records.size(); ++r)
                QCOMPARE(records[r], QStringList({QStringLiteral("Ann %1").arg(r - counts[b] + 1),
                                                  QStringLiteral("Town %1").arg(r - counts[b] + 1)}));
            counts[b] = records.size();
        }
    }
    // Kills that all came after the batch had ended would test nothing.
    qInfo("%d of %d kills found the batch running", killedRunning, kKills);
    QVERIFY2(killedRunning >= kKills / 4, qPrintable(QStringLiteral("%1 of %2 kills found the batch running")
                                                         .arg(killedRunning).arg(kKills)));
}

QTEST_GUILESS_MAIN(TestKillSafety)
#include "tst_killsafety.moc"
