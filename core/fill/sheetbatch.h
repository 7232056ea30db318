#pragma once

#include "core/fill/sheetfill.h"
#include "platform/filelock.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class FillObserver;

namespace SheetFill {

// A batch's records appended to each workbook that our own engines fill
// (.csv, .xlsx, .ods): the workbook is locked and read once for the whole
// batch, every record is filled in memory, and the filled workbook is
// written and swapped in (as a single fill does it) about twice a second
// and at the end. A record is reported added only once it is on the disk,
// so a batch that is killed loses only the records not yet reported.
class SheetBatch {
public:
    SheetBatch(const QString &appFolder, Sheets::Engines &engines, FillObserver &observer);
    ~SheetBatch();
    SheetBatch(const SheetBatch &) = delete;
    SheetBatch &operator=(const SheetBatch &) = delete;

    // Workbooks of other kinds are filled one record at a time.
    static bool handles(const QString &path);

    // Fills one record in memory with the run's values; problems go to
    // `message` at once, the "added" to the observer when it is written.
    void add(const Request &request, const QStringList &fieldNames, RunContext &run, const Message &message);
    // Writes every workbook that holds records not yet on the disk, and
    // lets every lock go.
    void finish();

private:
    struct Book;
    Status open(Book &book, RunContext &run);
    Status fillRecord(Book &book, const QStringList &fieldNames, const QStringList &values, RunContext &run,
                      const Message &message);
    void refill(Book &book, RunContext &run, const Message &message);
    void flush(Book &book);
    void flushAll();

    QString m_appFolder;
    Sheets::Engines &m_engines;
    FillObserver &m_observer;
    std::map<QString, std::unique_ptr<Book>> m_books;
    QElapsedTimer m_sinceFirstPending;
};

} // namespace SheetFill
