#pragma once

#include "core/fill/documents.h"
#include "core/fill/runcontext.h"
#include "core/fill/spreadsheet.h"
#include "core/model/modelfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace SheetFill {
class SheetBatch;
}

// What a fill run tells whoever started it: a window, a command line, a test.
class FillObserver {
public:
    virtual ~FillObserver() = default;
    // A long step begins ("Modifying Book.xls"); shown as the wait caption.
    virtual void showWait(const QString &caption) = 0;
    // A failure the user must see; title "Problem" (or "Error", "Operation
    // aborting"), text "<description> while <step text>".
    virtual void problem(const QString &text, const QString &title) = 0;
    // Per item, after it is done.
    virtual void saved(const QString &path) { Q_UNUSED(path) }
    virtual void printed(const QString &document) { Q_UNUSED(document) }
    virtual void recordAdded(const QString &sheetPath) { Q_UNUSED(sheetPath) }
    virtual void skipped(const QString &item) { Q_UNUSED(item) }
};

// Everything one run needs, as plain data.
struct FillRunInput {
    struct DocumentTicks {
        bool print = false;
        bool save = false;
    };
    ModelLists model;
    Documents::Folders folders;
    QStringList values;                   // values[j - 1] is typed for field j
    QList<DocumentTicks> documents;       // one per model document
    QList<bool> sheets;                   // one per model spreadsheet: add a record
    Documents::PrintMethod method = Documents::PrintMethod::Faster;
    QString saveName;                     // appended to saved copies' names
    bool pdfCopies = false;               // a PDF beside every saved copy
    int lockWaitMs = 60000;               // the wait for a workbook another fill holds
};

// One fill run: every ticked document is printed and/or saved, then every
// ticked spreadsheet gets one more record. A failure in a document stops the
// run unless it happened while that document was being filled (run stage
// 1); a failing spreadsheet never stops the others.
class FillRun {
public:
    // Makes the PDF copy beside a saved document.
    using PdfCopier = std::function<Status(const QString &savedPath)>;

    FillRun(FillObserver &observer, Documents::Printing &printing, Sheets::Engines &engines,
            PdfCopier pdfCopier = {});

    // False, after telling the observer, when the run was refused before
    // anything was done (save copies without a usable save name).
    bool run(const FillRunInput &input);
    // Runs of a batch hand their records for such a batch's workbooks to
    // it (null: every record is written at once).
    void setSheetBatch(SheetFill::SheetBatch *batch) { m_sheetBatch = batch; }
    // Whether a wait caption was shown (the window that shows it closes).
    bool waitShown() const;

    static QString missingSaveNameText();

private:
    bool processDocuments(const FillRunInput &input, RunContext &context);
    Status processDocument(const FillRunInput &input, const Documents::Request &request, RunContext &context);
    void processSheets(const FillRunInput &input, RunContext &context);

    FillObserver &m_observer;
    Documents::Printing &m_printing;
    Sheets::Engines &m_engines;
    PdfCopier m_pdfCopier;
    bool m_waitShown = false;
    SheetFill::SheetBatch *m_sheetBatch = nullptr;
};
