#include "cli/fillcommand.h"

#include "cli/batchnames.h"
#include "cli/fillargs.h"
#include "cli/fillneeds.h"
#include "cli/fillplan.h"
#include "core/fill/engines.h"
#include "core/fill/fillrun.h"
#include "core/fill/sheetbatch.h"
#include "core/fill/officesession.h"
#include "core/model/names.h"
#include "core/render/pdfcopy.h"
#include "core/render/printing.h"
#include "platform/filesystem.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <optional>

namespace FillCommand {

namespace {

// Lines for the user: results on standard output, problems on standard
// error, and, on a terminal, one progress line that every other line first
// clears.
class Console {
public:
    explicit Console(bool showProgress) : m_progress(showProgress) {}
    void out(const QString &line) { write(stdout, line); }
    void err(const QString &line) { write(stderr, line); }
    void progress(int done, int total)
    {
        if (!m_progress || total <= 0)
            return;
        constexpr int kWidth = 30;
        const int filled = int(qint64(done) * kWidth / total);
        const QString bar = QStringLiteral("\r[") + QString(filled, QLatin1Char('#'))
                            + QString(kWidth - filled, QLatin1Char(' ')) + QStringLiteral("] ")
                            + QString::number(done) + QLatin1Char('/') + QString::number(total);
        std::fputs(bar.toUtf8().constData(), stderr);
        std::fflush(stderr);
        m_shown = true;
    }
    void finish()
    {
        clear();
    }

private:
    void clear()
    {
        if (m_shown)
            std::fputs("\r\033[K", stderr);
        m_shown = false;
    }
    void write(std::FILE *to, QString line)
    {
        clear();
        line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), to);
        std::fflush(to);
    }
    bool m_progress;
    bool m_shown = false;
};

class ConsoleObserver : public FillObserver {
public:
    explicit ConsoleObserver(Console &console) : m_console(console) {}
    // Only a wait for another fill's lock is worth a line.
    void showWait(const QString &caption) override
    {
        if (caption.startsWith(QStringLiteral("Waiting for ")) && caption != m_lastCaption)
            m_console.err(caption);
        m_lastCaption = caption;
    }
    void problem(const QString &text, const QString &) override
    {
        m_problems = true;
        m_console.err(m_prefix + text);
    }
    void saved(const QString &path) override { m_console.out(QStringLiteral("saved ") + path); }
    void printed(const QString &document) override { m_console.out(QStringLiteral("printed ") + document); }
    void recordAdded(const QString &sheetPath) override
    {
        m_console.out(QStringLiteral("added a record to ") + QFileInfo(sheetPath).fileName());
    }
    void setPrefix(const QString &prefix) { m_prefix = prefix; }
    bool anyProblem() const { return m_problems; }
    void refuse(const QString &text) { problem(text, QString()); }

private:
    Console &m_console;
    QString m_prefix;
    QString m_lastCaption;
    bool m_problems = false;
};

// The office's own waits ("Starting the office") show nothing here.
class OfficeWaits : public RunContext {
public:
    void showWait(const QString &) override {}
    QString fieldValue(int) const override { return QString(); }
};

FillRunInput inputFor(const FillPlan::Plan &plan, const QStringList &values)
{
    const FillArgs::Options &o = plan.options;
    FillRunInput input;
    input.model = plan.model;
    input.folders = plan.folders;
    input.values = values;
    for (const bool chosen : plan.documentChosen)
        input.documents.append({chosen && o.print, chosen && o.save});
    for (int k = 0; k < plan.model.SheetPaths.size(); ++k)
        input.sheets.append(o.sheets);
    input.method = o.method;
    input.saveName = o.save ? FillPlan::saveNameFor(plan, values) : QString();
    input.pdfCopies = o.pdf;
    return input;
}

int usageError(const QString &message)
{
    Console(false).err(QStringLiteral("QLT fill: ") + message + QStringLiteral("\nTry 'QLT fill --help'."));
    return 2;
}

} // namespace

bool requested(int argc, char *argv[]) { return argc >= 2 && qstrcmp(argv[1], "fill") == 0; }

QString helpText()
{
    return QStringLiteral("\nWithout a window:\n") + FillArgs::usage();
}

namespace {

// The checked plan, or the exit status of a help text or a usage error.
struct Start {
    std::optional<FillPlan::Plan> plan;
    int status = 0;
};

Start start(const QStringList &arguments)
{
    const FillArgs::Parsed parsed = FillArgs::parse(arguments);
    if (parsed.options.help) {
        Console(false).out(FillArgs::usage());
        return {};
    }
    if (!parsed.error.isEmpty())
        return {std::nullopt, usageError(parsed.error)};
    FillPlan::Prepared prepared = FillPlan::prepare(parsed.options);
    if (!prepared.error.isEmpty())
        return {std::nullopt, usageError(prepared.error)};
    return {std::move(prepared.plan), 0};
}

int execute(const FillPlan::Plan &plan, const FillNeeds::Needs &needs)
{
    Console console(plan.batch && Platform::isTerminal(stderr));
    ConsoleObserver observer(console);
    // One office for the whole run, started now, while the first rows fill.
    std::unique_ptr<OfficeSession> office;
    OfficeWaits waits;
    if (needs.office) {
        office = std::make_unique<OfficeSession>();
        office->startAhead();
    }
    SystemPrinting printing(office.get(), &waits);
    // One set of spreadsheet applications for the whole batch, so an office
    // started for the first row serves every row.
    SystemEngines engines(office ? office->calcEngines(waits) : nullptr);
    FillRun fill(observer, printing, engines,
                 [&](const QString &saved) { return PdfCopy::saveBeside(saved, office.get(), &waits); });
    BatchNames names(plan);
    const QList<QStringList> records = plan.batch ? plan.rows : QList<QStringList>{QStringList()};
    // A batch's copies reach the disk together at its end: waiting for the
    // disk once per copy would take most of the batch's time.
    std::optional<Platform::DeferredSync> deferred;
    if (plan.batch)
        deferred.emplace();
    // A batch's records go into each workbook with one read and a write
    // every half second, not one of each per row.
    std::optional<SheetFill::SheetBatch> sheetBatch;
    if (plan.batch && plan.options.sheets) {
        sheetBatch.emplace(plan.folders.appFolder, engines, observer);
        fill.setSheetBatch(&*sheetBatch);
    }
    for (int r = 0; r < records.size(); ++r) {
        if (plan.batch)
            observer.setPrefix(QStringLiteral("row ") + QString::number(plan.rowLines.value(r)) + QStringLiteral(": "));
        FillRunInput input = inputFor(plan, FillPlan::valuesFor(plan, records[r]));
        const Names::Problem problem = Names::fileNameProblem(input.saveName);
        if (plan.options.save && problem != Names::Problem::None) {
            // Never a file outside the save folder: this run is left out.
            observer.refuse(QStringLiteral("the save name \"") + input.saveName + QStringLiteral("\" cannot be used. ")
                            + Names::refusal(problem));
        } else {
            if (plan.options.save)
                input.saveName = names.claim(input.saveName);
            fill.run(input);
        }
        console.progress(r + 1, int(records.size()));
    }
    if (sheetBatch) {
        observer.setPrefix(QString());
        sheetBatch->finish();
    }
    console.finish();
    QString error;
    if (deferred && !deferred->commit(&error)) {
        observer.setPrefix(QString());
        observer.refuse(QStringLiteral("the filled files could not all be written to the disk: ") + error);
    }
    return observer.anyProblem() ? 1 : 0;
}

} // namespace

int exec(int argc, char *argv[])
{
    // Taken before the application object, which would otherwise take
    // values such as "-reverse" for options of its own.
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Checked before any application object: the run starts only what it
    // needs, and a letter saved as .docx loads no platform plugin.
    const Start started = start(arguments);
    if (!started.plan)
        return started.status;
    const FillNeeds::Needs needs = FillNeeds::of(*started.plan);
    int appArgc = 1;
    if (!needs.drawing) {
        QCoreApplication app(appArgc, argv);
        return execute(*started.plan, needs);
    }
    Platform::useOffscreenWithoutDisplay();
    QGuiApplication app(appArgc, argv);
    return execute(*started.plan, needs);
}

int run(const QStringList &arguments)
{
    const Start started = start(arguments);
    return started.plan ? execute(*started.plan, FillNeeds::of(*started.plan)) : started.status;
}

} // namespace FillCommand
