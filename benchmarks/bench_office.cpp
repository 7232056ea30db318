// The run's one office, figure beside reference: an .xls fill with the
// office started for it against a bare office start + load + save of the
// same file; the fill with the office started ahead; and a run of three
// "Higher quality" prints against a run of one. Not a test: run it by hand
// (the prints need a default printer, e.g. the test spooler of tests/cups).
#include "benchmarks/sheetbench.h"
#include "core/fill/officesession.h"
#include "core/print/printing.h"
#include "platform/officerun.h"
#include "platform/printing.h"

#include <QApplication>
#include <QPrinterInfo>

namespace {
constexpr int kRounds = 3;

using SheetBench::fillOnce;

double ms(const QElapsedTimer &t) { return t.nsecsElapsed() / 1e6; }

// The office program alone: started, the workbook loaded and saved as
// .xls, ended; on a profile that has had its first start already.
double bareOffice(const QString &book, const QString &outFolder, const QString &profile)
{
    QElapsedTimer t;
    t.start();
    QProcess office;
    office.start(Platform::officeProgram(),
                 {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                  QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                  QStringLiteral("xls"), QStringLiteral("--outdir"), outFolder, book});
    office.waitForFinished(300000);
    return ms(t);
}

// One run that prints `count` documents through a session started when
// the run starts (the user pressed OK at once): milliseconds.
double printRun(const QStringList &documents, int count)
{
    QElapsedTimer t;
    t.start();
    OfficeSession session;
    session.startAhead();
    SheetBench::Run run;
    SystemPrinting printing(&session, &run);
    for (int i = 0; i < count; ++i)
        if (const Status printed = printing.printFile(documents[i]); !printed)
            std::fprintf(stderr, "%s\n", qPrintable(printed.error()));
    return ms(t);
}

void line(const char *what, double figure, const char *reference, double against, const char *goal)
{
    std::printf("%-44s %9.1f ms   %-30s %9.1f ms   ratio %5.2f  (goal %s)\n", what, figure, reference, against,
                figure / against, goal);
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString appFolder = SheetBench::setUp(dir);
    const QString csv = SheetBench::makeBooks(dir, {"xls:MS Excel 97"});
    if (csv.isEmpty())
        return 1;
    const QString book = dir.path() + QStringLiteral("/Book.xls");
    const QString profile = dir.path() + QStringLiteral("/bare-profile");
    const QString out = dir.path() + QStringLiteral("/out");

    // Both profiles get their slow first start before anything is timed.
    bareOffice(book, out, profile);
    {
        SystemEngines first;
        fillOnce(book, appFolder, first);
    }
    double cold = 0, bare = 0;
    for (int r = 0; r < kRounds; ++r) {
        SystemEngines engines; // the office started for this fill and ended with it
        cold += fillOnce(book, appFolder, engines);
        bare += bareOffice(book, out, profile);
    }
    line(".xls fill, office started for it", cold / kRounds, "bare start + load + save", bare / kRounds, "<= 1.20");

    double warm = 0;
    {
        OfficeSession session;
        session.startAhead();
        SheetBench::Run run;
        session.waitReady(run); // the user is still reading the window
        for (int r = 0; r < kRounds; ++r) {
            SystemEngines engines(session.calcEngines(run));
            warm += fillOnce(book, appFolder, engines);
        }
    }
    std::printf("%-44s %9.1f ms   (goal < 150 ms)\n", ".xls fill, office started ahead", warm / kRounds);

    if (QPrinterInfo::defaultPrinter().isNull()) {
        std::printf("no default printer: the print figures need one (tests/cups/cups-server.sh start DIR)\n");
        return 0;
    }
    QStringList documents;
    for (int i = 1; i <= 3; ++i) {
        documents << dir.path() + QStringLiteral("/Letter%1.rtf").arg(i);
        QFile d(documents.last());
        if (!d.open(QIODevice::WriteOnly))
            return 1;
        d.write(QStringLiteral("{\\rtf1\\ansi Letter %1 for Ann\\par}").arg(i).toLatin1());
    }
    printRun(documents, 1); // the print set-up of a fresh profile is not the figure
    double one = 0, three = 0;
    for (int r = 0; r < kRounds; ++r) {
        one += printRun(documents, 1);
        three += printRun(documents, 3);
    }
    line("three \"Higher quality\" prints in one run", three / kRounds, "one print in one run", one / kRounds,
         "< 1.50");
    QElapsedTimer t;
    t.start();
    for (const QString &d : documents)
        Platform::printFile(d, QString());
    std::printf("%-44s %9.1f ms   (one office per document)\n", "three prints, before", ms(t));
    return 0;
}
