#include "core/fill/fillrun.h"

#include "core/model/names.h"

#include "core/fill/sheetbatch.h"
#include "core/fill/sheetfill.h"

#include <QFileInfo>

namespace {

// The run's context for the document and spreadsheet steps: values from the
// input, captions to the observer.
class ObservedContext : public RunContext {
public:
    ObservedContext(FillObserver &observer, const QStringList &values) : m_observer(observer), m_values(values) {}
    void showWait(const QString &caption) override
    {
        waitShown = true;
        m_observer.showWait(caption);
    }
    QString fieldValue(int j) const override { return m_values.value(j - 1); }

private:
    FillObserver &m_observer;
    const QStringList &m_values;
};

} // namespace

FillRun::FillRun(FillObserver &observer, Documents::Printing &printing, Sheets::Engines &engines,
                 PdfCopier pdfCopier)
    : m_observer(observer), m_printing(printing), m_engines(engines), m_pdfCopier(std::move(pdfCopier))
{
}

QString FillRun::missingSaveNameText()
{
    return QStringLiteral("If you want to save document files, you need to supply a name to append to saved files.");
}

bool FillRun::waitShown() const { return m_waitShown; }

bool FillRun::run(const FillRunInput &input)
{
    m_waitShown = false;
    bool anySave = false;
    for (int i = 0; i < input.model.DocNames.size(); ++i)
        anySave = anySave || input.documents.value(i).save;
    // A save name that names a folder would put files outside the documents
    // folder: it is refused like an empty one.
    if (anySave && (input.saveName.isEmpty() || !Documents::isSafeName(input.saveName))) {
        // An empty name gets the usual words; a refused one also says why.
        const QString why = Names::refusal(Names::fileNameProblem(input.saveName));
        const QString text = input.saveName.isEmpty() ? missingSaveNameText()
                                                      : missingSaveNameText() + QStringLiteral("\r\n") + why;
        m_observer.problem(text, QStringLiteral("Operation aborting"));
        return false;
    }
    for (int i = 0; i < input.model.DocNames.size(); ++i)
        if (const QString tooLong = Names::copyNameRefusal(input.saveName, input.model.DocNames[i]);
            input.documents.value(i).save && !tooLong.isEmpty()) {
            m_observer.problem(tooLong, QStringLiteral("Operation aborting"));
            return false;
        }
    ObservedContext context(m_observer, input.values);
    context.lockWaitMs = input.lockWaitMs;
    if (processDocuments(input, context)) {
        context.runStage = RunStage::Spreadsheet;
        processSheets(input, context);
    }
    m_waitShown = context.waitShown;
    return true;
}

// False when a failure ended the run.
bool FillRun::processDocuments(const FillRunInput &input, RunContext &context)
{
    const QStringList &names = input.model.DocNames;
    for (int i = 0; i < names.size(); ++i) {
        const FillRunInput::DocumentTicks ticks = input.documents.value(i);
        if (!ticks.print && !ticks.save) {
            m_observer.skipped(names[i]);
            continue;
        }
        const Documents::Request request{names[i], ticks.print, ticks.save, input.method, input.saveName};
        const Status done = processDocument(input, request, context);
        if (!done) {
            m_observer.problem(done.error() + QStringLiteral(" while ") + context.stepText, QStringLiteral("Problem"));
            if (context.runStage != RunStage::Document)
                return false;
        }
    }
    return true;
}

Status FillRun::processDocument(const FillRunInput &input, const Documents::Request &request, RunContext &context)
{
    if (Status processed =
            Documents::ProcessDocument(request, input.folders, input.model.FieldNames, context, m_printing);
        !processed)
        return processed;
    // A document without a file is passed over.
    const QString file = Documents::FindDocumentFile(input.folders.modelFolder, request.name);
    if (file.isEmpty()) {
        m_observer.skipped(request.name);
        return {};
    }
    if (request.print)
        m_observer.printed(request.name);
    if (!request.save)
        return {};
    const QString saved =
        input.folders.saveFolder + request.saveName + QLatin1Char('-') + request.name + Documents::extensionOf(file);
    m_observer.saved(saved);
    if (input.pdfCopies && m_pdfCopier) {
        // Still under the save step's text.
        const QString pdf = Documents::pdfPathFor(saved);
        context.showWait(QStringLiteral("Saving ") + QFileInfo(pdf).fileName());
        if (Status copied = m_pdfCopier(saved); !copied)
            return copied;
        m_observer.saved(pdf);
    }
    return {};
}

void FillRun::processSheets(const FillRunInput &input, RunContext &context)
{
    const QStringList &paths = input.model.SheetPaths;
    for (int k = 0; k < paths.size(); ++k) {
        if (!input.sheets.value(k)) {
            m_observer.skipped(paths[k]);
            continue;
        }
        const SheetFill::Request request{paths[k], input.model.SheetNumbers.value(k, 1)};
        const auto message = [this](const QString &text, const QString &title) { m_observer.problem(text, title); };
        if (m_sheetBatch && SheetFill::SheetBatch::handles(paths[k])) {
            m_sheetBatch->add(request, input.model.FieldNames, context, message); // "added" once written
            continue;
        }
        const bool added = SheetFill::ProcessSpreadsheet(request, input.folders.appFolder, input.model.FieldNames,
                                                         context, m_engines, message);
        if (added)
            m_observer.recordAdded(paths[k]);
    }
}
