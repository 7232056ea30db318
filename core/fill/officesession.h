#pragma once

#include "core/fill/calcmodule.h"
#include "core/fill/fillrun.h"
#include "core/fill/spreadsheet.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

// The one office of the confirmation window's runs: started ahead in the
// background when the window opens, so that it is ready by the time the
// user presses OK, used by every item of every run that needs it (workbooks,
// prints and PDF copies), and ended with this object. The office process is
// tied to this program, so it never outlives it either.
class OfficeSession : public QObject {
    Q_OBJECT
public:
    OfficeSession();
    ~OfficeSession() override;

    // Whether a run over this model may need the office: a workbook that
    // only the office fills, or a document whose print or PDF copy it makes
    // (PDF copies come from the office for packages only, which it prints
    // anyway).
    static bool mayNeed(const QString &modelFolder, const QStringList &docNames, const QStringList &sheetPaths,
                        bool higherQuality);
    // Whether printing this file goes through the office (else `lp`).
    static bool printsThroughOffice(const QString &path);
    // Offices the module has launched in this program so far.
    static int officeLaunches();

    // Launches the office without waiting for it; does nothing when it is
    // started already or the module is missing.
    void startAhead();
    // The same, only when a run of the model may need the office (mayNeed).
    void startAheadFor(const QString &modelFolder, const ModelLists &model, bool higherQuality)
    {
        if (mayNeed(modelFolder, model.DocNames, model.SheetPaths, higherQuality))
            startAhead();
    }
    // Waits until the office answers, showing "Starting the office"
    // meanwhile and letting the windows paint. False when there is no
    // office to use: the caller goes its own way, as without a session.
    bool waitReady(RunContext &run);
    bool isReady() const { return m_state == State::Ready; }

    // The workbooks of a run, filled by this office.
    std::shared_ptr<Sheets::Engines> calcEngines(RunContext &run);
    // Through the ready office.
    Status print(const QString &path, const QString &printer);
    Status exportPdf(const QString &documentPath, const QString &pdfPath);
    // The PDF copy beside a saved document, when it needs no drawing: a
    // saved PDF is its own copy, and .docx/.odt copies are exported by the
    // office (the session's when it is ready, else one of its own). Nothing
    // for the rest, which our renderer draws.
    static std::optional<Status> pdfCopyBeside(const QString &savedPath, OfficeSession *session, RunContext *run);

Q_SIGNALS:
    void settled(); // ready, or failed

private:
    void check();

    enum class State { Idle, Starting, Ready, Failed };
    std::shared_ptr<CalcModule::Office> m_office;
    State m_state = State::Idle;
    QTimer m_poll;
};
