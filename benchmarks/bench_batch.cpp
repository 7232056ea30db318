// Prints the time and peak memory of "QLT fill --rows" for a batch with two
// rich-text documents and one .xlsx workbook, at 100 and 1,000 rows, so that
// memory can be seen to stay flat as rows grow. Not a test: run it by hand,
// e.g. build/benchmarks/bench_batch [rows...]. The workbook is filled in
// this process; no office is involved.
#include "cli/fillcommand.h"
#include "core/fill/nativeworkbook.h"
#include "core/fill/sheetfill.h"
#include "core/model/modelfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// VmHWM (peak) or VmRSS (now) of this process, in kB.
long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The workbook a batch appends to already holds this many records.
constexpr int kRecordsBefore = 10000;

// Grows the office-made workbook to kRecordsBefore records, as that many
// single fills would.
void growWorkbook(const QString &book)
{
    Native::Application engine;
    Result<std::unique_ptr<Sheets::Workbook>> opened = engine.open(book);
    if (!opened)
        return;
    Result<Sheets::Worksheet *> sheet = (*opened)->worksheet(1);
    const QStringList fields{QStringLiteral("Name"), QStringLiteral("City")};
    for (int r = 0; sheet && r < kRecordsBefore; ++r)
        (void)SheetFill::fillRow(**sheet, 2 + r, fields, [r](int j) {
            return j == 1 ? QStringLiteral("Earlier %1").arg(r) : QStringLiteral("Town");
        });
    (void)(*opened)->saveAs(book + QStringLiteral(".grown"));
    QFile::remove(book);
    QFile::rename(book + QStringLiteral(".grown"), book);
}

// One model folder per batch: a fresh workbook, so every batch starts alike.
QString prepare(const QString &home, int rows)
{
    const QString app = home + QStringLiteral("/Quillmate/");
    QDir(app).removeRecursively();
    QDir(home + QStringLiteral("/Documents")).removeRecursively();
    QDir().mkpath(app);
    QDir().mkpath(home + QStringLiteral("/Documents"));
    const QString book = app + QStringLiteral("Book.xlsx");
    QFile::copy(QStringLiteral(QLT_SOURCE_DIR "/tests/fill/workbooks/row.xlsx"), book);
    growWorkbook(book);
    ModelLists model;
    model.FieldNames = {QStringLiteral("Name"), QStringLiteral("City")};
    model.DocNames = {QStringLiteral("Letter"), QStringLiteral("Label")};
    model.SheetPaths = {book};
    model.SheetNumbers = {1};
    ModelFile::write(app + QStringLiteral("Members.mod"), model, nullptr);
    QByteArray letter = "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0 Dear &Name& of &City&,\\par ";
    for (int i = 0; i < 40; ++i)
        letter += "We write to you, &Name&, about the meeting in &City& next month.\\par ";
    write(app + QStringLiteral("Letter.rtf"), letter + "}");
    write(app + QStringLiteral("Label.rtf"), "{\\rtf1\\ansi &Name&\\par &City&\\par}");
    QByteArray csv = "Name,City\r\n";
    for (int r = 1; r <= rows; ++r)
        csv += "\"Member " + QByteArray::number(r) + "\",\"Town, " + QByteArray::number(r % 50) + "\"\r\n";
    const QString csvPath = home + QStringLiteral("/rows.csv");
    write(csvPath, csv);
    return csvPath;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("QLT_CALC_MODULE"))
        qputenv("QLT_CALC_MODULE", QByteArrayLiteral(QLT_CALC_MODULE_PATH));
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {100, 1000};
    std::fprintf(stderr, "batch: 2 RTF documents and 1 .xlsx workbook of %d records per row "
                         "(goal: 1,000 rows with the workbook < 5 s)\n", kRecordsBefore);
    // The documents alone as well, to tell their share from the workbook's.
    const QList<QPair<const char *, QStringList>> kinds{
        {"documents and workbook", {QStringLiteral("--sheets")}}, {"documents only", {}}};
    for (const int rows : sizes) {
        for (const auto &[kind, extra] : kinds) {
            const QString csv = prepare(home.path(), rows);
            // The result lines would drown the figures.
            std::FILE *out = std::freopen("/dev/null", "w", stdout);
            Q_UNUSED(out)
            QElapsedTimer t;
            t.start();
            const int status = FillCommand::run(QStringList{QStringLiteral("Members"), QStringLiteral("--rows"), csv,
                                                            QStringLiteral("--save"), QStringLiteral("{Name}")}
                                                + extra);
            const double seconds = t.nsecsElapsed() / 1e9;
            std::fprintf(stderr,
                         "%5d rows, %-22s %7.2f s (%6.2f ms a row), exit %d, peak RSS %ld kB, RSS now %ld kB\n",
                         rows, kind, seconds, seconds * 1000 / rows, status, statusKb("VmHWM:"), statusKb("VmRSS:"));
        }
    }
    return 0;
}
