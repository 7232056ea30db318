#include "core/fill/sheetbatch.h"

#include "core/fill/engines.h"
#include "core/fill/fillrun.h"
#include "core/fill/workbooklock.h"

#include <QFileInfo>

namespace SheetFill {

namespace {
// How long a filled record may wait in memory before it is written.
constexpr qint64 kFlushMilliseconds = 500;

bool isMarker(const QString &text)
{
    return !text.isEmpty() && text.startsWith(QLatin1Char('&')) && text.endsWith(QLatin1Char('&'));
}

bool usedRow(Sheets::Worksheet &sheet, int row)
{
    for (int c = 1; c <= 3; ++c)
        if (const Result<QString> text = sheet.cellText(row, c); !text || !text->isEmpty())
            return true;
    return false;
}

// After the record went into marker row `row`, the markers stand one row
// on. Whether a fresh scan would find them there, found without reading the
// rows above: the filled row is still used, the three rows below the new
// marker row are empty, and it holds two markers or more.
bool markersMovedOneRow(Sheets::Worksheet &sheet, int row)
{
    if (row + 1 > kScanLimit || !usedRow(sheet, row))
        return false;
    for (int r = row + 2; r <= row + 4 && r <= kScanLimit; ++r)
        if (usedRow(sheet, r))
            return false;
    int markers = 0, empty = 0;
    for (int c = 1; c <= kScanLimit && empty < 3 && markers < 2; ++c) {
        const Result<QString> text = sheet.cellText(row + 1, c);
        if (!text)
            return false;
        empty = text->isEmpty() ? empty + 1 : 0;
        markers += isMarker(*text) ? 1 : 0;
    }
    return markers >= 2;
}

// The batch's own context for the writes it makes outside any run.
class FlushContext : public RunContext {
public:
    explicit FlushContext(FillObserver &observer) : m_observer(observer) {}
    void showWait(const QString &caption) override { m_observer.showWait(caption); }
    QString fieldValue(int) const override { return QString(); }

private:
    FillObserver &m_observer;
};
} // namespace

struct SheetBatch::Book {
    QString path;
    qint16 sheetNumber = 1;
    Files files;
    std::unique_ptr<Platform::FileLock> lock;
    std::unique_ptr<Sheets::Application> application;
    std::unique_ptr<Sheets::Workbook> workbook;
    Sheets::Worksheet *sheet = nullptr;
    Layout layout;        // where the last record went
    QStringList fields;   // the model's field names
    QList<QStringList> pending; // records filled in memory, not yet on the disk
    QString refusal;            // why the workbook could not be opened
};

SheetBatch::SheetBatch(const QString &appFolder, Sheets::Engines &engines, FillObserver &observer)
    : m_appFolder(appFolder), m_engines(engines), m_observer(observer)
{
}

SheetBatch::~SheetBatch() { finish(); }

bool SheetBatch::handles(const QString &path) { return engineFor(path) != SheetEngine::Office; }

Status SheetBatch::open(Book &book, RunContext &run)
{
    book.sheet = nullptr;
    book.workbook.reset();
    book.layout = {};
    run.step(QStringLiteral("creating spreadsheet object"));
    Result<std::unique_ptr<Sheets::Application>> created = m_engines.createApplication(book.path);
    if (!created)
        return created.failure();
    book.application = std::move(created).value();
    run.step(QStringLiteral("setting xlbook to ") + book.path);
    run.runStage = RunStage::Workbook;
    if (!book.lock) {
        Result<std::unique_ptr<Platform::FileLock>> locked = lockWorkbook(book.path, run);
        if (!locked)
            return locked.failure();
        book.lock = std::move(locked).value();
        if (Status removed = removeLeftoverCopies(book.path, run); !removed)
            return removed;
    }
    if (Status replaceable = checkCanReplace(book.path); !replaceable)
        return replaceable;
    Result<std::unique_ptr<Sheets::Workbook>> opened = book.application->open(book.path);
    if (!opened)
        return opened.failure();
    book.workbook = std::move(opened).value();
    run.step(QStringLiteral("setting sheet to ") + (book.sheetNumber < 0 ? QStringLiteral("-") : QStringLiteral(" "))
             + QString::number(std::abs(book.sheetNumber)));
    const Result<Sheets::Worksheet *> chosen = book.workbook->worksheet(book.sheetNumber);
    if (!chosen)
        return chosen.failure();
    book.sheet = *chosen;
    return {};
}

Status SheetBatch::fillRecord(Book &book, const QStringList &fieldNames, const QStringList &values, RunContext &run,
                              const Message &message)
{
    Sheets::Worksheet &sheet = *book.sheet;
    run.step(QStringLiteral("determining configuration of ") + book.path);
    if (book.layout.kind == RowLayout && markersMovedOneRow(sheet, book.layout.line)) {
        ++book.layout.line;
    } else {
        const Result<Layout> layout = DetectSheetLayout(sheet);
        if (!layout)
            return layout.failure();
        book.layout = *layout;
    }
    run.step(QStringLiteral("modifying ") + book.path);
    if (book.layout.kind == NotAnalysable) {
        message(QStringLiteral("Unable to analyze spreadsheet \r\n") + book.path, QStringLiteral("Error"));
        return {};
    }
    const auto value = [&values](int j) { return values.value(j - 1); };
    const Status filled = book.layout.kind == RowLayout ? fillRow(sheet, book.layout.line, fieldNames, value)
                                                        : fillColumn(sheet, book.layout.line, fieldNames, value);
    if (!filled)
        return filled;
    book.pending.append(values);
    return {};
}

void SheetBatch::add(const Request &request, const QStringList &fieldNames, RunContext &run, const Message &message)
{
    run.runStage = RunStage::Spreadsheet;
    run.showWait(QStringLiteral("Modifying ") + QFileInfo(request.path).fileName());
    std::unique_ptr<Book> &slot = m_books[request.path];
    if (slot && slot->sheetNumber != request.sheetNumber) {
        flush(*slot);
        slot->workbook.reset();
    }
    if (!slot) {
        slot = std::make_unique<Book>();
        slot->path = request.path;
        slot->files = filesFor(request.path, m_appFolder);
    }
    Book &book = *slot;
    book.sheetNumber = request.sheetNumber;
    book.fields = fieldNames;
    const auto problem = [&](const Status &failed) {
        message(failed.error() + QStringLiteral(" while ") + run.stepText, QStringLiteral("Problem"));
    };
    if (!book.refusal.isEmpty()) { // not tried again for every row: a wait for a lock takes a minute
        message(book.refusal, QStringLiteral("Problem"));
        return;
    }
    if (!book.workbook) {
        if (const Status opened = open(book, run); !opened) {
            problem(opened);
            book.refusal = opened.error() + QStringLiteral(" while ") + run.stepText;
            book.workbook.reset();
            run.runStage = RunStage::Spreadsheet;
            return;
        }
    }
    QStringList values;
    for (int j = 1; j <= fieldNames.size(); ++j)
        values << run.fieldValue(j);
    if (const Status filled = fillRecord(book, fieldNames, values, run, message); !filled) {
        problem(filled);
        // Part of this record may be in memory: the workbook is read again
        // and the records before it filled anew.
        refill(book, run, message);
    }
    run.runStage = RunStage::Spreadsheet;
    if (!book.pending.isEmpty() && !m_sinceFirstPending.isValid())
        m_sinceFirstPending.start();
    if (m_sinceFirstPending.isValid() && m_sinceFirstPending.elapsed() >= kFlushMilliseconds)
        flushAll();
}

void SheetBatch::refill(Book &book, RunContext &run, const Message &message)
{
    const QList<QStringList> records = std::exchange(book.pending, {});
    if (const Status opened = open(book, run); !opened) {
        book.workbook.reset();
        message(QString::number(records.size()) + QStringLiteral(" records were not added to ") + book.path
                    + QStringLiteral(": ") + opened.error() + QStringLiteral(" while ") + run.stepText,
                QStringLiteral("Problem"));
        return;
    }
    for (const QStringList &values : records)
        if (const Status filled = fillRecord(book, book.fields, values, run, message); !filled)
            message(filled.error() + QStringLiteral(" while ") + run.stepText, QStringLiteral("Problem"));
}

void SheetBatch::flush(Book &book)
{
    if (book.pending.isEmpty() || !book.workbook)
        return;
    FlushContext run(m_observer);
    run.runStage = RunStage::Spreadsheet;
    run.step(QStringLiteral("saving Temp-") + book.path);
    Status done = book.workbook->saveAs(book.files.temp);
    if (done)
        done = swapIn(book.path, book.files, run);
    const qsizetype count = book.pending.size();
    book.pending.clear();
    if (done) {
        for (qsizetype i = 0; i < count; ++i)
            m_observer.recordAdded(book.path);
        return;
    }
    m_observer.problem(QString::number(count) + QStringLiteral(" records were not added to ") + book.path
                           + QStringLiteral(": ") + done.error() + QStringLiteral(" while ") + run.stepText,
                       QStringLiteral("Problem"));
    // The next record starts from what is on the disk.
    book.workbook.reset();
}

void SheetBatch::flushAll()
{
    for (auto &[path, book] : m_books)
        flush(*book);
    m_sinceFirstPending.invalidate();
}

void SheetBatch::finish()
{
    flushAll();
    m_books.clear();
}

} // namespace SheetFill
