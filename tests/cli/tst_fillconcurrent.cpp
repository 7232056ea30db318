#include "tests/cli/qltrunner.h"

#include "core/fill/csvengine.h"
#include "core/fill/nativeworkbook.h"
#include "core/fill/workbooklock.h"
#include "core/fill/zippackage.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <memory>

// Several QLT fills of one workbook at once, and workbooks held by other
// programs: every record reported added is in the workbook once, and a
// held workbook is refused or waited for.
class FillConcurrentTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    QString book(const QString &ext) const { return m_home->appFolder() + QStringLiteral("book.") + ext; }

    // The records between the label row and the marker row, or why the
    // workbook cannot be read.
    static Result<QStringList> records(const QString &path)
    {
        if (Native::handles(path))
            if (Status read = Zip::Package::readsBack(path); !read)
                return read.failure();
        const std::unique_ptr<Sheets::Application> app = Native::handles(path)
            ? std::unique_ptr<Sheets::Application>(std::make_unique<Native::Application>())
            : std::make_unique<Csv::Application>();
        Result<std::unique_ptr<Sheets::Workbook>> opened = app->open(path);
        if (!opened)
            return opened.failure();
        const Result<Sheets::Worksheet *> sheet = (*opened)->worksheet(1);
        if (!sheet)
            return sheet.failure();
        QStringList found;
        for (int r = 2;; ++r) {
            const Result<QString> name = (*sheet)->cellText(r, 1);
            if (!name || name->isEmpty() || *name == QStringLiteral("&Name&"))
                return found;
            found << *name + QLatin1Char('|') + *(*sheet)->cellText(r, 2);
        }
    }

    QStringList fill(const QString &rows, const QStringList &more = {}) const
    {
        const QltResult r = runQlt(QStringList{QStringLiteral("fill"), QStringLiteral("Books"), QStringLiteral("--rows"),
                                               rows, QStringLiteral("--sheets")}
                                   + more);
        return {QString::number(r.status), r.out, r.err};
    }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        QVERIFY(writeFile(book(QStringLiteral("csv")), "Name,City\r\n&Name&,&City&\r\n"));
        for (const QString &ext : {QStringLiteral("xlsx"), QStringLiteral("ods")})
            QVERIFY(QFile::copy(QStringLiteral(QLT_SOURCE_DIR "/tests/core/fill/workbooks/row.") + ext, book(ext)));
        QVERIFY(writeModel(*m_home, QStringLiteral("Books"), {QStringLiteral("Name"), QStringLiteral("City")}, {},
                           {book(QStringLiteral("csv")), book(QStringLiteral("xlsx")), book(QStringLiteral("ods"))}));
    }
    void cleanup() { m_home.reset(); }

    // Four batches of 25 rows at once: 100 records in every workbook, each
    // row once, as many as were reported added.
    void fourBatchesAtOnce()
    {
        QList<QProcess *> runs;
        QStringList expected;
        for (int p = 1; p <= 4; ++p) {
            QByteArray csv = "Name,City\n";
            for (int r = 1; r <= 25; ++r) {
                csv += QStringLiteral("P%1-%2,Town %2\n").arg(p).arg(r).toUtf8();
                expected << QStringLiteral("P%1-%2|Town %2").arg(p).arg(r);
            }
            const QString rows = m_home->path() + QStringLiteral("rows%1.csv").arg(p);
            QVERIFY(writeFile(rows, csv));
            auto *qlt = new QProcess(this);
            qlt->start(QStringLiteral(QLT_BINARY), {QStringLiteral("fill"), QStringLiteral("Books"),
                                                    QStringLiteral("--rows"), rows, QStringLiteral("--sheets")});
            runs << qlt;
        }
        QString out;
        for (QProcess *qlt : std::as_const(runs)) {
            QVERIFY(qlt->waitForFinished(120000));
            QCOMPARE(qlt->exitCode(), 0);
            out += QString::fromUtf8(qlt->readAllStandardOutput());
        }
        expected.sort();
        for (const QString &ext : {QStringLiteral("csv"), QStringLiteral("xlsx"), QStringLiteral("ods")}) {
            QCOMPARE(out.count(QStringLiteral("added a record to book.") + ext + QLatin1Char('\n')), 100);
            Result<QStringList> found = records(book(ext));
            QVERIFY2(found, qPrintable(found ? QString() : found.error()));
            found->sort();
            QCOMPARE(*found, expected);
            const QString backup = m_home->appFolder() + QStringLiteral("Backup-book.") + ext;
            QVERIFY(ext == QStringLiteral("csv") || Zip::Package::readsBack(backup).ok());
        }
    }

    // Held by another fill: waited for, then refused naming the holder; a
    // lock file whose holder died blocks nothing. Open in an office: refused
    // naming the user from the office's own lock file.
    void heldWorkbooks_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("lockName"); // beside the workbook
        QTest::addColumn<QByteArray>("lockBytes");
        QTest::addColumn<bool>("holdIt"); // a live Quillmate holds the lock
        QTest::addColumn<QString>("message");
        QByteArray excel = QByteArray(1, 9) + "Ann Smith";
        excel = excel.leftJustified(54, ' ') + QByteArray("\x09\x00", 2);
        for (const char c : QByteArray("Ann Smith"))
            excel += QByteArray(1, c) + QByteArray(1, '\0');
        QTest::newRow("another fill") << QStringLiteral("xlsx") << QStringLiteral(".book.xlsx.qlt-lock") << QByteArray()
                                      << true
                                      << QStringLiteral("The workbook is being filled by ann on desk (process 7)");
        QTest::newRow("a killed fill's lock file") << QStringLiteral("ods") << QStringLiteral(".book.ods.qlt-lock")
                                                   << QByteArray("ann on desk (process 7)") << false << QString();
        QTest::newRow("LibreOffice") << QStringLiteral("csv") << QStringLiteral(".~lock.book.csv#")
                                     << QByteArray("Ann Smith,ann,desk,07.12.2026 10:00,file:///x;") << false
                                     << QStringLiteral("Ann Smith on desk");
        QTest::newRow("Excel") << QStringLiteral("xlsx") << QStringLiteral("~$book.xlsx") << excel << false
                               << QStringLiteral("~$book.xlsx, Ann Smith)");
    }

    void heldWorkbooks()
    {
        QFETCH(QString, ext);
        QFETCH(QString, lockName);
        QFETCH(QByteArray, lockBytes);
        QFETCH(bool, holdIt);
        QFETCH(QString, message);
        const QString lockPath = m_home->appFolder() + lockName;
        Platform::FileLock held;
        if (holdIt)
            QCOMPARE(held.tryLock(SheetFill::lockPathFor(book(ext)), "ann on desk (process 7)").value(),
                     Platform::FileLock::Outcome::Taken);
        else
            QVERIFY(writeFile(lockPath, lockBytes));
        QVERIFY(writeModel(*m_home, QStringLiteral("Books"), {QStringLiteral("Name"), QStringLiteral("City")}, {},
                           {book(ext)}));
        const QByteArray before = readFile(book(ext));
        QVERIFY(writeFile(m_home->path() + QStringLiteral("rows.csv"), "Name,City\nAnn,Rome\n"));
        const QStringList r =
            fill(m_home->path() + QStringLiteral("rows.csv"), {QStringLiteral("--wait"), QStringLiteral("0.3")});
        if (message.isEmpty()) {
            QCOMPARE(r[0], QStringLiteral("0"));
            QCOMPARE(r[1], QStringLiteral("added a record to book.") + ext + QLatin1Char('\n'));
            QCOMPARE(*records(book(ext)), QStringList{QStringLiteral("Ann|Rome")});
            return;
        }
        QCOMPARE(r[0], QStringLiteral("1"));
        QVERIFY2(r[2].contains(message), qPrintable(r[2]));
        QCOMPARE(r[2].startsWith(QStringLiteral("Waiting for book.") + ext + QLatin1Char('\n')), holdIt);
        QVERIFY(r[1].isEmpty());
        QCOMPARE(readFile(book(ext)), before);
    }
};

QTEST_GUILESS_MAIN(FillConcurrentTest)
#include "tst_fillconcurrent.moc"
