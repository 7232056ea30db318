#pragma once

#include "core/result.h"

#include <QString>

// The locals of one fill run that the document and spreadsheet steps update.
// A step that fails answers a Failure; the run's handler shows its message
// followed by " while " and the step text in force.
class RunContext {
public:
    virtual ~RunContext() = default;

    QString stepText;
    qint16 runStage = 0; // 0 nothing yet, 1 document, 2 spreadsheet, 3 workbook open
    bool waitShown = false;

    // How long a workbook another fill holds is waited for.
    int lockWaitMs = 60000;

    void step(const QString &text) { stepText = text; }

    // Shows the wait window with this caption and lets pending events run.
    virtual void showWait(const QString &caption) = 0;
    // The value typed for field j (1-based).
    virtual QString fieldValue(int j) const = 0;
};
