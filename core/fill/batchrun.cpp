#include "core/fill/batchrun.h"

#include "core/fill/batchnames.h"
#include "core/fill/batchrows.h"
#include "core/fill/sheetbatch.h"
#include "core/model/names.h"
#include "platform/filesystem.h"

#include <QElapsedTimer>

namespace {

QString key(const QString &name) { return name.trimmed().toCaseFolded(); }

int indexOfName(const QStringList &names, const QString &name)
{
    const QString wanted = key(name);
    for (int i = 0; i < names.size(); ++i)
        if (key(names[i]) == wanted)
            return i;
    return -1;
}

} // namespace

BatchRun::BatchRun(BatchInput input, BatchObserver &observer, Documents::Printing &printing,
                   Sheets::Engines &engines, FillRun::PdfCopier pdfCopier)
    : m_input(std::move(input)), m_observer(observer), m_fill(observer, printing, engines, std::move(pdfCopier))
{
    if (!m_input.batch)
        return;
    QStringList saved;
    for (int i = 0; i < m_input.base.model.DocNames.size(); ++i)
        if (m_input.base.documents.value(i).save)
            saved << m_input.base.model.DocNames[i];
    m_names = std::make_unique<BatchNames>(m_input.base.folders, saved, m_input.base.pdfCopies);
    // A batch's copies reach the disk together at its end: waiting for the
    // disk once per copy would take most of the batch's time.
    m_deferred = std::make_unique<Platform::DeferredSync>();
    // Records go into each workbook with one read and a write every half
    // second, not one of each per row.
    if (m_input.base.sheets.contains(true)) {
        m_sheetBatch = std::make_unique<SheetFill::SheetBatch>(m_input.base.folders.appFolder, engines, observer);
        m_fill.setSheetBatch(m_sheetBatch.get());
    }
}

BatchRun::~BatchRun() { finish(); }

bool BatchRun::savesAny() const
{
    for (const FillRunInput::DocumentTicks &ticks : m_input.base.documents)
        if (ticks.save)
            return true;
    return false;
}

QStringList BatchRun::valuesFor(const BatchInput &input, int row)
{
    QStringList values = input.base.values;
    const QStringList &cells = input.rows.value(row);
    for (int c = 0; c < input.columnField.size(); ++c)
        if (const int j = input.columnField[c]; j >= 0 && j < values.size())
            values[j] = cells.value(c);
    return values;
}

QString BatchRun::saveNameFor(const BatchInput &input, int row)
{
    const QStringList values = valuesFor(input, row);
    const QStringList &cells = input.rows.value(row);
    return BatchRows::expand(input.savePattern, [&](const QString &name) {
        if (const int j = indexOfName(input.base.model.FieldNames, name); j >= 0)
            return values.value(j);
        return cells.value(indexOfName(input.header, name));
    });
}

void BatchRun::runRow()
{
    if (atEnd() || m_finished)
        return;
    const int row = m_next++;
    m_observer.rowStarting(row, m_input.rowLines.value(row, row + 2));
    FillRunInput input = m_input.base;
    input.values = valuesFor(m_input, row);
    input.saveName = savesAny() ? saveNameFor(m_input, row) : QString();
    const Names::Problem problem = Names::fileNameProblem(input.saveName);
    if (savesAny() && problem != Names::Problem::None) {
        // Never a file outside the save folder: this row is left out.
        m_observer.problem(QStringLiteral("the save name \"") + input.saveName + QStringLiteral("\" cannot be used. ")
                               + Names::refusal(problem),
                           QStringLiteral("Problem"));
        return;
    }
    if (savesAny() && m_names)
        input.saveName = m_names->claim(input.saveName);
    m_fill.run(input);
}

void BatchRun::runFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    do
        runRow();
    while (!atEnd() && !m_finished && clock.elapsed() < milliseconds);
}

void BatchRun::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_sheetBatch) {
        m_observer.rowStarting(-1, 0);
        m_sheetBatch->finish();
    }
    if (Status synced = m_deferred ? m_deferred->commit() : Status(); !synced) {
        m_observer.rowStarting(-1, 0);
        m_observer.problem(QStringLiteral("the filled files could not all be written to the disk: ") + synced.error(),
                           QStringLiteral("Problem"));
    }
}

QList<int> BatchRun::matchColumns(const QStringList &header, const QStringList &fieldNames)
{
    QList<int> fields;
    for (const QString &column : header)
        fields << indexOfName(fieldNames, column);
    return fields;
}

QStringList BatchRun::unknownNames(const QString &pattern, const QStringList &fieldNames, const QStringList &header)
{
    QStringList unknown;
    for (const QString &name : BatchRows::placeholders(pattern))
        if (indexOfName(fieldNames, name) < 0 && indexOfName(header, name) < 0)
            unknown << name;
    return unknown;
}
