#pragma once

#include "core/fill/fillrun.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class BatchNames;
namespace Platform {
class DeferredSync;
}
namespace SheetFill {
class SheetBatch;
}

// What a batch tells whoever runs it, beyond a single run's news.
class BatchObserver : public FillObserver {
public:
    // Row `index` (from 0), found on `line` of the list, starts; -1 for
    // what the batch does after its last row (writing records, the disk).
    virtual void rowStarting(int index, int line) { Q_UNUSED(index) Q_UNUSED(line) }
};

// A batch: the values of the fields typed once, laid under each row of a list.
struct BatchInput {
    FillRunInput base;        // ticks, method, PDF copies; values for fields no column fills
    QStringList header;       // the list's column names
    QList<int> columnField;   // per column, the 0-based field it fills, or -1
    QList<QStringList> rows;  // one per run
    QList<int> rowLines;      // each row's line (or sheet row) in the list
    QString savePattern;      // "{Last Name}-2024": fields, else columns, in braces
    // False: one run of the base values, as a single fill (no numbered
    // names, records written at once).
    bool batch = true;
};

// The one batch loop of the command line and the list window: each row
// through FillRun, save names numbered within the batch, the records of
// our own workbooks collected in a SheetBatch, and every copy brought to
// the disk at the end. Rows run one call at a time, so that a window can
// show progress between them and stop after any row.
class BatchRun {
public:
    BatchRun(BatchInput input, BatchObserver &observer, Documents::Printing &printing, Sheets::Engines &engines,
             FillRun::PdfCopier pdfCopier = {});
    ~BatchRun();
    BatchRun(const BatchRun &) = delete;
    BatchRun &operator=(const BatchRun &) = delete;

    int rowCount() const { return int(m_input.rows.size()); }
    int rowsDone() const { return m_next; }
    bool atEnd() const { return m_next >= rowCount(); }

    const BatchInput &input() const { return m_input; }

    // The values of row `row`: the base values with its cells laid over them.
    static QStringList valuesFor(const BatchInput &input, int row);
    // Row `row`'s save name, before a clash in the batch numbers it.
    static QString saveNameFor(const BatchInput &input, int row);

    // Runs the next row.
    void runRow();
    // Runs rows until the end or until `milliseconds` have passed; at least one.
    void runFor(int milliseconds);
    // After the last row, or to stop early: writes the records of the rows
    // done and brings every copy to the disk. Nothing runs afterwards.
    void finish();

    // Per column, the 0-based field it fills, or -1: letter case and
    // surrounding blanks do not count.
    static QList<int> matchColumns(const QStringList &header, const QStringList &fieldNames);
    // The names in braces in `pattern` that are neither a field nor a column.
    static QStringList unknownNames(const QString &pattern, const QStringList &fieldNames, const QStringList &header);

private:
    bool savesAny() const;

    BatchInput m_input;
    BatchObserver &m_observer;
    FillRun m_fill;
    std::unique_ptr<BatchNames> m_names;
    std::unique_ptr<Platform::DeferredSync> m_deferred;
    std::unique_ptr<SheetFill::SheetBatch> m_sheetBatch;
    int m_next = 0;
    bool m_finished = false;
};
