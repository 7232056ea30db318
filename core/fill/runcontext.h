#pragma once

#include "core/result.h"

#include <QString>

// The locals of one fill run that the document and spreadsheet steps update.
// A step that fails answers a Failure; the run's handler shows its message
// followed by " while " and the step text in force.
// Where a run is. A document's failure ends the run unless it came from the
// document itself; a spreadsheet's failure ends only that spreadsheet.
enum class RunStage {
    NothingYet,
    Document,    // a document is being filled
    Spreadsheet, // a spreadsheet is being filled, no workbook in use
    Workbook,    // a workbook is being opened, filled or saved
};

class RunContext {
public:
    virtual ~RunContext() = default;

    QString stepText;
    RunStage runStage = RunStage::NothingYet;
    bool waitShown = false;

    // How long a workbook another fill holds is waited for.
    int lockWaitMs = 60000;

    void step(const QString &text) { stepText = text; }

    // Shows the wait window with this caption and lets pending events run.
    virtual void showWait(const QString &caption) = 0;
    // The value typed for field j (1-based).
    virtual QString fieldValue(int j) const = 0;
};
