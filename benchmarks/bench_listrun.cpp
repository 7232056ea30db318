// Prints the figures of the list window's run: 1,000 rows of a list into two
// rich-text documents and an .xlsx workbook of 10,000 records, run as the
// window runs them (BatchRun, a slice of rows between two looks at the
// events). Shows the whole time, how often the progress could be shown,
// and how long a Cancel waits. Not a test: run it by hand,
// e.g. build/benchmarks/bench_listrun [rows].
#include "benchmarks/batchbench.h"
#include "core/fill/batchrun.h"
#include "core/fill/engines.h"
#include "core/fill/rowlist.h"
#include "core/print/printing.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace BatchBench;

namespace {

// The window's slice (ListRunForm::kSliceMilliseconds).
constexpr int kSlice = 60;

class Quiet : public BatchObserver {
public:
    void showWait(const QString &) override {}
    void problem(const QString &text, const QString &) override
    {
        ++problems;
        if (problems == 1)
            std::fprintf(stderr, "problem: %s\n", qPrintable(text));
    }
    void recordAdded(const QString &) override { ++records; }
    int problems = 0;
    int records = 0;
};

BatchInput inputFor(const QString &home, const QString &csv)
{
    const QString app = home + QStringLiteral("/Quillmate/");
    BatchInput batch;
    batch.base.model = ModelFile::read(app + QStringLiteral("Members.mod")).value();
    batch.base.folders = {app, app, home + QStringLiteral("/Documents/")};
    batch.base.values = QStringList(QList<QString>(batch.base.model.FieldNames.size()));
    batch.base.documents = {{false, true}, {false, true}};
    batch.base.sheets = {true};
    const RowList::List list = RowList::read(csv);
    batch.header = list.header;
    batch.columnField = BatchRun::matchColumns(list.header, batch.base.model.FieldNames);
    batch.rows = list.records;
    batch.rowLines = list.lines;
    batch.savePattern = QStringLiteral("{Name}");
    return batch;
}

struct Figures {
    double seconds = 0;
    qint64 longestSliceMs = 0; // the longest wait for a progress update, and for Cancel to be seen
    qint64 finishMs = 0;       // writing the records after the last row (or the Cancel)
    int slices = 0;
    int rowsDone = 0;
    int records = 0;
    int problems = 0;
};

// Runs the rows a slice at a time; with `cancelAfter` > 0 stops after that
// many slices, as a Cancel would.
Figures run(const QString &home, int rows, int cancelAfter)
{
    const QString csv = prepare(home, rows);
    Quiet observer;
    SystemPrinting printing;
    SystemEngines engines;
    Figures f;
    QElapsedTimer whole;
    whole.start();
    BatchRun batch(inputFor(home, csv), observer, printing, engines);
    while (!batch.atEnd() && (cancelAfter <= 0 || f.slices < cancelAfter)) {
        QElapsedTimer slice;
        slice.start();
        batch.runFor(kSlice);
        f.longestSliceMs = std::max(f.longestSliceMs, slice.elapsed());
        ++f.slices;
    }
    QElapsedTimer finish;
    finish.start();
    batch.finish();
    f.finishMs = finish.elapsed();
    f.seconds = whole.nsecsElapsed() / 1e9;
    f.rowsDone = batch.rowsDone();
    f.records = observer.records;
    f.problems = observer.problems;
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;
    std::fprintf(stderr, "list run: %d rows x (2 RTF documents + 1 .xlsx workbook of %d records), slices of %d ms\n",
                 rows, kRecordsBefore, kSlice);
    const Figures all = run(home.path(), rows, 0);
    const double perSecond = all.longestSliceMs > 0 ? 1000.0 / double(all.longestSliceMs) : 0;
    std::fprintf(stderr, "whole run       %7.2f s   (goal < 5 s)   rows %d, records %d, problems %d\n", all.seconds,
                 all.rowsDone, all.records, all.problems);
    std::fprintf(stderr, "progress        %7.1f updates a second at the slowest (goal >= 5), %d slices\n",
                 perSecond, all.slices);
    std::fprintf(stderr, "records written %7lld ms after the last row\n", static_cast<long long>(all.finishMs));
    const Figures cancelled = run(home.path(), rows, 5);
    std::fprintf(stderr,
                 "cancel          %7lld ms until seen, at most (goal < 500 ms); %lld ms more to write the "
                 "records of the %d rows done (%d records)\n",
                 static_cast<long long>(all.longestSliceMs), static_cast<long long>(cancelled.finishMs),
                 cancelled.rowsDone, cancelled.records);
    return 0;
}
