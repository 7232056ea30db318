// Prints the time and peak memory of "QLT fill --rows" for a batch with two
// rich-text documents and one .xlsx workbook, at 100 and 1,000 rows, so that
// memory can be seen to stay flat as rows grow. Not a test: run it by hand,
// e.g. build/benchmarks/bench_batch [rows...]. The workbook is filled in
// this process; no office is involved.
#include "cli/fillcommand.h"
#include "core/fill/engines.h"
#include "benchmarks/batchbench.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace BatchBench;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);
    SystemEngines::setCalcModulePath(QStringLiteral(QLT_CALC_MODULE_PATH));
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
