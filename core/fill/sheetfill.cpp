#include "core/fill/sheetfill.h"

#include "core/fill/nativeworkbook.h"
#include "core/fill/workbooklock.h"
#include "core/fill/valuetext.h"

#include "platform/filesystem.h"
#include "platform/officelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

#include <filesystem>

namespace SheetFill {

namespace {
bool isMarker(const QString &text)
{
    return !text.isEmpty() && text.startsWith(QLatin1Char('&')) && text.endsWith(QLatin1Char('&'));
}

// The last line with something in its first three cells (a formula counts,
// even one without a stored result), before three empty lines in a row; 0
// when there is none.
Result<int> lastUsedLine(const std::function<Result<bool>(int line, int k)> &used)
{
    int last = 0, empty = 0;
    for (int line = 1; line <= kScanLimit; ++line) {
        bool any = false;
        for (int k = 1; k <= 3 && !any; ++k) {
            const Result<bool> filled = used(line, k);
            if (!filled)
                return filled.failure();
            any = *filled;
        }
        if (any) {
            last = line;
            empty = 0;
        } else if (++empty >= 3) {
            break;
        }
    }
    return last;
}

Result<int> markersAlong(const std::function<Result<QString>(int k)> &cell)
{
    int markers = 0, empty = 0;
    for (int k = 1; k <= kScanLimit; ++k) {
        const Result<QString> read = cell(k);
        if (!read)
            return read.failure();
        const QString &text = *read;
        if (!text.isEmpty()) {
            empty = 0;
            markers += isMarker(text) ? 1 : 0;
        } else if (++empty >= 3) {
            break;
        }
    }
    return markers;
}

// The last used line when it holds at least two markers, else 0; `cell`
// reads cell k of a line and `used` tells whether it holds anything.
Result<int> markerLine(const std::function<Result<QString>(int line, int k)> &cell,
                       const std::function<Result<bool>(int line, int k)> &used)
{
    const Result<int> last = lastUsedLine(used);
    if (!last || *last == 0)
        return last;
    const Result<int> markers = markersAlong([&cell, line = *last](int k) { return cell(line, k); });
    if (!markers)
        return markers.failure();
    return *markers >= 2 ? *last : 0;
}

// Shared by rows and columns: `at(i)` reads and `put(i, offset, text)`
// writes cell i of the marker line (offset 0) or of the next line (1).
Status fillLine(const Sheets::Worksheet &sheet, const std::function<Result<QString>(int)> &at,
                const std::function<Status(int, int, const QString &)> &put, const QStringList &fieldNames,
                const std::function<QString(int)> &value)
{
    for (int i = 1; i <= kFillLimit; ++i) {
        const Result<QString> v = at(i);
        if (!v)
            return v.failure();
        if (Status copied = put(i, 1, *v); !copied)
            return copied;
        for (int j = 0; j < fieldNames.size(); ++j) {
            if (*v == QLatin1Char('&') + fieldNames[j] + QLatin1Char('&')) {
                // Cells break lines with LF alone, as the offices write them.
                const QString text = ValueText::withLineFeeds(value(j + 1));
                if (const std::optional<char32_t> unfit = sheet.unfitCharacter(text))
                    return Failure{ValueText::unfitCharacterText(fieldNames[j], *unfit, QStringLiteral("workbooks"))};
                if (Status written = put(i, 0, text); !written)
                    return written;
                break;
            }
        }
        // One empty cell between markers is passed over; two end the line.
        const Result<QString> next = at(i + 1);
        if (!next)
            return next.failure();
        if (!next->isEmpty())
            continue;
        const Result<QString> afterNext = at(i + 2);
        if (!afterNext)
            return afterNext.failure();
        if (afterNext->isEmpty())
            break;
    }
    return {};
}

QString withSign(int n) { return (n < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(std::abs(n)); }

QString fileNameOf(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

// Puts the filled copy, saved beside the workbook, in its place in one
// step: the path holds either the previous or the filled workbook at every
// moment. A workbook reached through a symbolic link is written through
// it, so the link stays.
Status replaceWith(const QString &path, const QString &filled)
{
    const QFileInfo info(path);
    if (!info.isSymLink()) {
        QFile::setPermissions(filled, info.permissions());
        // The filled copy is on the disk before it takes the workbook's
        // place, so a crash cannot leave an empty workbook.
        if (Status synced = Platform::syncToDisk(filled); !synced)
            return synced;
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(filled).toStdString(), QFile::encodeName(path).toStdString(), error);
        if (error)
            return Failure{QString::fromStdString(error.message())};
        // The new name on the disk too, before the record counts as added.
        return Platform::syncToDisk(info.absolutePath());
    }
    QFile source(filled);
    if (!source.open(QIODevice::ReadOnly))
        return Failure{source.errorString()};
    QSaveFile target(info.canonicalFilePath());
    if (!target.open(QIODevice::WriteOnly))
        return Failure{target.errorString()};
    target.write(source.readAll());
    if (!target.commit())
        return Failure{target.errorString()};
    source.close();
    QFile::remove(filled);
    return {};
}

} // namespace

Status checkCanReplace(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {}; // the engine reports the missing file
    const QString lock = Platform::officeLock(path);
    if (!lock.isEmpty())
        return Failure{lock};
    if (!info.isWritable() || !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)))
        return Failure{QStringLiteral("The workbook is read-only")};
    if (!QFileInfo(info.absolutePath()).isWritable())
        return Failure{QStringLiteral("The workbook's folder is read-only")};
    return {};
}

Result<Layout> DetectSheetLayout(Sheets::Worksheet &sheet)
{
    const Result<int> row = markerLine([&sheet](int r, int k) { return sheet.cellText(r, k); },
                                       [&sheet](int r, int k) { return sheet.cellUsed(r, k); });
    if (!row)
        return row.failure();
    if (*row > 0)
        return Layout{RowLayout, *row};
    const Result<int> column = markerLine([&sheet](int c, int k) { return sheet.cellText(k, c); },
                                          [&sheet](int c, int k) { return sheet.cellUsed(k, c); });
    if (!column)
        return column.failure();
    if (*column > 0)
        return Layout{ColumnLayout, *column};
    return Layout{};
}

Status fillRow(Sheets::Worksheet &sheet, int row, const QStringList &fieldNames,
               const std::function<QString(int)> &value)
{
    return fillLine(sheet, [&](int i) { return sheet.cellText(row, i); },
                    [&](int i, int offset, const QString &t) { return sheet.setCellText(row + offset, i, t); },
                    fieldNames, value);
}

Status fillColumn(Sheets::Worksheet &sheet, int column, const QStringList &fieldNames,
                  const std::function<QString(int)> &value)
{
    return fillLine(sheet, [&](int i) { return sheet.cellText(i, column); },
                    [&](int i, int offset, const QString &t) { return sheet.setCellText(i, column + offset, t); },
                    fieldNames, value);
}

Files filesFor(const QString &path, const QString &appFolder)
{
    const QString fileName = fileNameOf(path);
    // Saved beside the workbook, so that its relative links and references
    // stay as they are.
    return {path.left(path.size() - fileName.size()) + QStringLiteral("Temp-") + fileName + QLatin1Char('.')
                + QString::number(::getpid()),
            appFolder + QStringLiteral("Backup-") + fileName};
}

Status removeLeftoverCopies(const QString &path, RunContext &run)
{
    // No other fill writes one while this one holds the lock: whatever is
    // there was left by a fill that was stopped (or by an older version,
    // which named it without the process number).
    const QFileInfo workbook(path);
    const QString plain = QStringLiteral("Temp-") + workbook.fileName();
    QStringList leftovers{plain};
    for (const QString &name : QDir(workbook.absolutePath()).entryList({plain + QStringLiteral(".*")}, QDir::Files))
        if (bool number = false; name.mid(plain.size() + 1).section(QLatin1Char('.'), 0, 0).toLongLong(&number), number)
            leftovers << name;
    for (const QString &name : std::as_const(leftovers)) {
        const QString leftover = workbook.absolutePath() + QLatin1Char('/') + name;
        if (!QFileInfo::exists(leftover))
            continue;
        run.step(QStringLiteral("deleting ") + leftover);
        if (!QFile::remove(leftover))
            return Failure{QStringLiteral("Permission denied")};
    }
    return {};
}

Status swapIn(const QString &path, const Files &files, RunContext &run)
{
    // A damaged workbook (written by something else, or by an older
    // version) never replaces the backup, which may be the last sound copy.
    const bool sound = !Native::handles(path) || Zip::Package::readsBack(path).ok();
    // The old backup is replaced in one step by the copy, never deleted
    // first: there is a backup at every moment.
    if (sound && QFileInfo::exists(files.backup))
        run.step(QStringLiteral("deleting backup ") + path);
    run.step(QStringLiteral("renaming ") + path + QStringLiteral(" As ") + files.backup);
    // Copied whole to a hidden file first: a failed copy leaves no half
    // backup behind.
    if (sound) {
        const Result<Platform::CopyOutcome> copied = Platform::copyFile(path, files.backup);
        if (!copied)
            return copied.failure();
        // A backup that is the workbook itself would be no backup at all.
        if (*copied == Platform::CopyOutcome::SameFile)
            return Failure{};
    }
    run.step(QStringLiteral("renaming ") + files.temp + QStringLiteral(" As ") + path);
    return replaceWith(path, files.temp);
}

bool ProcessSpreadsheet(const Request &request, const QString &appFolder, const QStringList &fieldNames,
                        RunContext &run, Sheets::Engines &engines, const Message &message)
{
    const QString &path = request.path;
    const QString fileName = fileNameOf(path);
    const Files files = filesFor(path, appFolder);
    std::unique_ptr<Platform::FileLock> lock;
    run.runStage = RunStage::Spreadsheet;
    run.showWait(QStringLiteral("Modifying ") + fileName);

    std::unique_ptr<Sheets::Application> application;
    // Closed without saving when a step below fails.
    Sheets::OpenWorkbook book;
    bool analysed = true;
    auto problem = [&](const Status &failed) {
        message(failed.error() + QStringLiteral(" while ") + run.stepText, QStringLiteral("Problem"));
    };
    // Up to the filled copy saved and the workbook closed.
    const auto fill = [&]() -> Status {
        run.step(QStringLiteral("creating spreadsheet object"));
        Result<std::unique_ptr<Sheets::Application>> created = engines.createApplication(path);
        if (!created)
            return created.failure();
        application = std::move(created).value();
        run.step(QStringLiteral("setting xlbook to ") + path);
        run.runStage = RunStage::Workbook;
        // Held from reading the workbook to swapping in the filled copy.
        Result<std::unique_ptr<Platform::FileLock>> locked = lockWorkbook(path, run);
        if (!locked)
            return locked.failure();
        lock = std::move(locked).value();
        if (Status replaceable = checkCanReplace(path); !replaceable)
            return replaceable;
        Result<std::unique_ptr<Sheets::Workbook>> opened = application->open(path);
        if (!opened)
            return opened.failure();
        book = Sheets::OpenWorkbook(std::move(opened).value());
        run.step(QStringLiteral("setting sheet to ") + withSign(request.sheetNumber));
        const Result<Sheets::Worksheet *> chosen = book->worksheet(request.sheetNumber);
        if (!chosen)
            return chosen.failure();
        Sheets::Worksheet &sheet = **chosen;
        run.step(QStringLiteral("determining configuration of ") + path);
        const Result<Layout> layout = DetectSheetLayout(sheet);
        if (!layout)
            return layout.failure();
        run.step(QStringLiteral("modifying ") + path);
        auto value = [&run](int j) { return run.fieldValue(j); };
        if (layout->kind == NotAnalysable) {
            message(QStringLiteral("Unable to analyze spreadsheet \r\n") + path, QStringLiteral("Error"));
            analysed = false;
            if (Status closed = book.close(); !closed) // nothing was changed; nothing is saved
                return closed;
            run.runStage = RunStage::Spreadsheet;
            return {};
        }
        const Status filled = layout->kind == RowLayout ? fillRow(sheet, layout->line, fieldNames, value)
                                                        : fillColumn(sheet, layout->line, fieldNames, value);
        if (!filled)
            return filled;

        if (Status removed = removeLeftoverCopies(path, run); !removed)
            return removed;
        run.step(QStringLiteral("saving Temp-") + path);
        if (Status saved = book->saveAs(files.temp); !saved)
            return saved;
        run.step(QStringLiteral("closing ") + path);
        if (Status closed = book.close(); !closed)
            return closed;
        run.runStage = RunStage::Spreadsheet;
        return {};
    };
    if (const Status filled = fill(); !filled) {
        problem(filled);
        run.runStage = RunStage::Spreadsheet;
        return false; // `book`, still open, closes here
    }
    if (!analysed)
        return false;

    // The filled copy in the workbook's place, the previous version kept.
    const auto swap = [&]() -> Status {
        run.step(QStringLiteral("nulling ") + path);
        book.release();
        application.reset();
        return swapIn(path, files, run);
    };
    if (const Status swapped = swap(); !swapped) {
        problem(swapped);
        return false;
    }
    return true;
}

} // namespace SheetFill
