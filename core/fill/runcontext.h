#pragma once

#include <QString>

#include <exception>

// A failure inside one item of a fill run. The run's handler shows its
// description followed by " while " and the step text in force.
struct RunError : std::exception {
    explicit RunError(QString what) : description(std::move(what)) {}
    const char *what() const noexcept override { return "fill run error"; }
    QString description;
};

// The locals of one fill run that the document and spreadsheet steps update.
class RunContext {
public:
    virtual ~RunContext() = default;

    QString stepText;
    qint16 runStage = 0; // 0 nothing yet, 1 document, 2 spreadsheet, 3 workbook open
    bool waitShown = false;

    void step(const QString &text) { stepText = text; }

    // Shows the wait window with this caption and lets pending events run.
    virtual void showWait(const QString &caption) = 0;
    // The value typed for field j (1-based).
    virtual QString fieldValue(int j) const = 0;
};
