#include "cli/fillcommand.h"

#include "cli/fillargs.h"
#include "cli/filldrawing.h"
#include "cli/fillneeds.h"
#include "cli/fillplan.h"
#include "core/fill/engines.h"
#include "core/fill/batchrun.h"
#include "core/fill/officesession.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <QFileInfo>

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

class ConsoleObserver : public BatchObserver {
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
    void rowStarting(int, int line) override
    {
        m_prefix = line > 0 ? QStringLiteral("row ") + QString::number(line) + QStringLiteral(": ") : QString();
    }
    bool anyProblem() const { return m_problems; }

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

// The plan as a batch: the command line's rows, or one run of its values.
BatchInput inputFor(const FillPlan::Plan &plan)
{
    const FillArgs::Options &o = plan.options;
    BatchInput batch;
    FillRunInput &input = batch.base;
    input.model = plan.model;
    input.folders = plan.folders;
    input.values = plan.baseValues;
    for (const bool chosen : plan.documentChosen)
        input.documents.append({chosen && o.print, chosen && o.save});
    for (int k = 0; k < plan.model.SheetPaths.size(); ++k)
        input.sheets.append(o.sheets);
    input.method = o.method;
    input.pdfCopies = o.pdf;
    input.lockWaitMs = o.lockWaitMs;
    batch.columnField = plan.columnField;
    batch.rows = plan.batch ? plan.rows : QList<QStringList>{QStringList()};
    batch.rowLines = plan.rowLines;
    batch.savePattern = o.save ? o.saveName : QString();
    batch.batch = plan.batch;
    return batch;
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
    Result<FillPlan::Plan> prepared = FillPlan::prepare(parsed.options);
    if (!prepared)
        return {std::nullopt, usageError(prepared.error())};
    return {std::move(prepared).value(), 0};
}

// Stands in for the printer where nothing draws: a plan that prints is
// never run without drawing, so this only keeps a slip from passing as done.
class NoPrinting : public Documents::Printing {
public:
    Status printText(const QByteArray &, const QString &) override { return refusal(); }
    Status printFile(const QString &) override { return refusal(); }

private:
    static Status refusal() { return Failure{QStringLiteral("QLT could not load what it prints with")}; }
};

int execute(const FillPlan::Plan &plan, const FillNeeds::Needs &needs, const FillDrawing *drawing)
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
    const std::unique_ptr<Documents::Printing> printing =
        drawing ? drawing->printing(office.get(), &waits) : std::make_unique<NoPrinting>();
    const auto pdfCopy = [&](const QString &saved) -> Status {
        if (drawing)
            return drawing->pdfCopyBeside(saved, office.get(), &waits);
        return OfficeSession::pdfCopyBeside(saved, office.get(), &waits)
            .value_or(Failure{QStringLiteral("QLT could not load what it draws PDF copies with")});
    };
    // One set of spreadsheet applications for the whole batch, so an office
    // started for the first row serves every row.
    SystemEngines engines(office ? office->calcEngines(waits) : nullptr);
    BatchRun batch(inputFor(plan), observer, *printing, engines, pdfCopy);
    while (!batch.atEnd()) {
        batch.runRow();
        console.progress(batch.rowsDone(), batch.rowCount());
    }
    batch.finish();
    console.finish();
    return observer.anyProblem() ? 1 : 0;
}

} // namespace

std::optional<int> exec(int argc, char *argv[], const FillDrawing *drawing)
{
    // Taken before the application object, which would otherwise take
    // values such as "-reverse" for options of its own.
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Checked before any application object: the run starts only what it
    // needs, and a letter saved as .docx loads no drawing library at all.
    const Start started = start(arguments);
    if (!started.plan)
        return started.status;
    const FillNeeds::Needs needs = FillNeeds::of(*started.plan);
    if (!needs.drawing) {
        int appArgc = 1;
        QCoreApplication app(appArgc, argv);
        return execute(*started.plan, needs, nullptr);
    }
    if (!drawing)
        return std::nullopt;
    return drawing->withApplication(argv[0], [&] { return execute(*started.plan, needs, drawing); });
}

int run(const QStringList &arguments, const FillDrawing *drawing)
{
    const Start started = start(arguments);
    if (!started.plan)
        return started.status;
    return execute(*started.plan, FillNeeds::of(*started.plan), drawing);
}

} // namespace FillCommand
