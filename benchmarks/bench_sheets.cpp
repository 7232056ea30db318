// Prints the time of one complete spreadsheet fill per engine and format,
// with a cold start (the office started for the fill) and with the office
// already running. Not a test: run it by hand, e.g. build/benchmarks/bench_sheets.
#include "benchmarks/sheetbench.h"
#include "core/fill/engines.h"
#include "core/fill/sheetfill.h"
#include "platform/officelock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace {
constexpr int kRounds = 5;

using SheetBench::fillOnce;
using SheetBench::kFields;
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString appFolder = SheetBench::setUp(dir);
    const QString csv = SheetBench::makeBooks(dir, {"xls:MS Excel 97", "xlsx:Calc MS Excel 2007 XML", "ods"});
    if (csv.isEmpty())
        return 1;

    std::printf("%-6s %-8s %12s %12s\n", "format", "engine", "cold ms", "warm ms");
    for (const char *ext : {"csv", "xls", "xlsx", "ods"}) {
        const QString book = dir.path() + QStringLiteral("/Book.") + QLatin1String(ext);
        double cold = 0, warm = 0;
        for (int r = 0; r < kRounds; ++r) {
            SystemEngines engines;
            cold += fillOnce(book, appFolder, engines);
        }
        SystemEngines shared;
        fillOnce(book, appFolder, shared); // starts the office
        for (int r = 0; r < kRounds; ++r)
            warm += fillOnce(book, appFolder, shared);
        std::printf("%-6s %-8s %12.1f %12.1f\n", ext, QByteArray(ext) == "csv" ? "own" : "calc", cold / kRounds,
                    warm / kRounds);
    }

    // Our own engine on a large file: every earlier record is kept as it
    // was read, so its cost grows with the file.
    const QString large = dir.path() + QStringLiteral("/Large.csv");
    QFile l(large);
    if (!l.open(QIODevice::WriteOnly))
        return 1;
    l.write("First Name;Last Name;Address;City;Date\r\n");
    for (int r = 0; r < 30000; ++r) // the scan ends at row 32000
        l.write(QStringLiteral("M\u00fcller %1;K\u00f6ln;\"Stra\u00dfe 1; Hof\";Bonn;2026-12-07\r\n").arg(r).toLatin1());
    l.write("&First Name&;&Last Name&;&Address&;&City&;&Date&\r\n");
    l.close();
    SystemEngines own;
    std::printf("csv, 30000 records (%.1f MB, Windows-1252): %.1f ms per fill\n", QFileInfo(large).size() / 1e6,
                fillOnce(large, appFolder, own));

    // The check for an office holding the workbook looks at every process.
    QElapsedTimer t;
    t.start();
    for (int r = 0; r < kRounds; ++r)
        Platform::officeLock(csv);
    std::printf("office lock check: %.2f ms\n", t.nsecsElapsed() / 1e6 / kRounds);
    return 0;
}
