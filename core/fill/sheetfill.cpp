#include "core/fill/sheetfill.h"

#include "platform/officelock.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>

namespace SheetFill {

namespace {
bool isMarker(const QString &text)
{
    return !text.isEmpty() && text.startsWith(QLatin1Char('&')) && text.endsWith(QLatin1Char('&'));
}

// The last line with something in its first three cells, before three
// empty lines in a row; 0 when there is none.
int lastUsedLine(const std::function<QString(int line, int k)> &cell)
{
    int last = 0, empty = 0;
    for (int line = 1; line <= kScanLimit; ++line) {
        if (!cell(line, 1).isEmpty() || !cell(line, 2).isEmpty() || !cell(line, 3).isEmpty()) {
            last = line;
            empty = 0;
        } else if (++empty >= 3) {
            break;
        }
    }
    return last;
}

int markersAlong(const std::function<QString(int k)> &cell)
{
    int markers = 0, empty = 0;
    for (int k = 1; k <= kScanLimit; ++k) {
        const QString text = cell(k);
        if (!text.isEmpty()) {
            empty = 0;
            markers += isMarker(text) ? 1 : 0;
        } else if (++empty >= 3) {
            break;
        }
    }
    return markers;
}

// Shared by rows and columns: `at(i)` reads and `put(i, offset, text)`
// writes cell i of the marker line (offset 0) or of the next line (1).
void fillLine(const std::function<QString(int)> &at, const std::function<void(int, int, const QString &)> &put,
              const QStringList &fieldNames, const std::function<QString(int)> &value)
{
    for (int i = 1; i <= kFillLimit; ++i) {
        const QString v = at(i);
        put(i, 1, v);
        for (int j = 0; j < fieldNames.size(); ++j) {
            if (v == QLatin1Char('&') + fieldNames[j] + QLatin1Char('&')) {
                put(i, 0, value(j + 1));
                break;
            }
        }
        // One empty cell between markers is passed over; two end the line.
        if (at(i + 1).isEmpty() && at(i + 2).isEmpty())
            break;
    }
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
void replaceWith(const QString &path, const QString &filled)
{
    const QFileInfo info(path);
    if (!info.isSymLink()) {
        QFile::setPermissions(filled, info.permissions());
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(filled).toStdString(), QFile::encodeName(path).toStdString(), error);
        if (error)
            throw RunError(QString::fromStdString(error.message()));
        return;
    }
    QFile source(filled);
    if (!source.open(QIODevice::ReadOnly))
        throw RunError(source.errorString());
    QSaveFile target(info.canonicalFilePath());
    if (!target.open(QIODevice::WriteOnly))
        throw RunError(target.errorString());
    target.write(source.readAll());
    if (!target.commit())
        throw RunError(target.errorString());
    source.close();
    QFile::remove(filled);
}

// Refuses, before anything is opened or written, a workbook that the fill
// could not put back: open in an office, or read-only.
void checkCanReplace(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return; // the engine reports the missing file
    const QString lock = Platform::officeLock(path);
    if (!lock.isEmpty())
        throw RunError(lock);
    if (!info.isWritable() || !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)))
        throw RunError(QStringLiteral("The workbook is read-only"));
    if (!QFileInfo(info.absolutePath()).isWritable())
        throw RunError(QStringLiteral("The workbook's folder is read-only"));
}
} // namespace

Layout DetectSheetLayout(Sheets::Worksheet &sheet)
{
    const int row = lastUsedLine([&sheet](int r, int k) { return sheet.cellText(r, k); });
    if (row > 0 && markersAlong([&sheet, row](int c) { return sheet.cellText(row, c); }) >= 2)
        return {RowLayout, row};
    const int column = lastUsedLine([&sheet](int c, int k) { return sheet.cellText(k, c); });
    if (column > 0 && markersAlong([&sheet, column](int r) { return sheet.cellText(r, column); }) >= 2)
        return {ColumnLayout, column};
    return {};
}

void fillRow(Sheets::Worksheet &sheet, int row, const QStringList &fieldNames, const std::function<QString(int)> &value)
{
    fillLine([&](int i) { return sheet.cellText(row, i); },
             [&](int i, int offset, const QString &t) { sheet.setCellText(row + offset, i, t); }, fieldNames, value);
}

void fillColumn(Sheets::Worksheet &sheet, int column, const QStringList &fieldNames,
                const std::function<QString(int)> &value)
{
    fillLine([&](int i) { return sheet.cellText(i, column); },
             [&](int i, int offset, const QString &t) { sheet.setCellText(i, column + offset, t); }, fieldNames, value);
}

bool ProcessSpreadsheet(const Request &request, const QString &appFolder, const QStringList &fieldNames,
                        RunContext &run, Sheets::Engines &engines, const Message &message)
{
    const QString &path = request.path;
    const QString fileName = fileNameOf(path);
    // Saved beside the workbook, so that its relative links and references
    // stay as they are.
    const QString temp = path.left(path.size() - fileName.size()) + QStringLiteral("Temp-") + fileName;
    const QString backup = appFolder + QStringLiteral("Backup-") + fileName;
    run.runStage = 2;
    run.showWait(QStringLiteral("Modifying ") + fileName);

    std::unique_ptr<Sheets::Application> application;
    std::unique_ptr<Sheets::Workbook> book;
    bool closeTried = false;
    auto problem = [&](const RunError &e) {
        message(e.description + QStringLiteral(" while ") + run.stepText, QStringLiteral("Problem"));
    };
    try {
        run.step(QStringLiteral("creating spreadsheet object"));
        application = engines.createApplication(path);
        run.step(QStringLiteral("setting xlbook to ") + path);
        run.runStage = 3;
        checkCanReplace(path);
        book = application->open(path);
        run.step(QStringLiteral("setting sheet to ") + withSign(request.sheetNumber));
        Sheets::Worksheet &sheet = book->worksheet(request.sheetNumber);
        run.step(QStringLiteral("determining configuration of ") + path);
        const Layout layout = DetectSheetLayout(sheet);
        run.step(QStringLiteral("modifying ") + path);
        auto value = [&run](int j) { return run.fieldValue(j); };
        if (layout.kind == NotAnalysable) {
            message(QStringLiteral("Unable to analyze spreadsheet \r\n") + path, QStringLiteral("Error"));
            closeTried = true;
            book->close(); // nothing was changed; nothing is saved
            run.runStage = 2;
            return false;
        }
        if (layout.kind == RowLayout)
            fillRow(sheet, layout.line, fieldNames, value);
        else
            fillColumn(sheet, layout.line, fieldNames, value);

        if (QFileInfo::exists(temp)) {
            run.step(QStringLiteral("deleting ") + temp);
            if (!QFile::remove(temp))
                throw RunError(QStringLiteral("Permission denied"));
        }
        run.step(QStringLiteral("saving Temp-") + path);
        book->saveAs(temp);
        run.step(QStringLiteral("closing ") + path);
        closeTried = true;
        book->close();
        run.runStage = 2;
    } catch (const RunError &e) {
        problem(e);
        // The closing sequence: the workbook, if open, is closed without
        // saving; a close that already failed is not tried again.
        if (run.runStage == 3 && book && !closeTried) {
            try {
                book->close();
            } catch (const RunError &) {
            }
        }
        run.runStage = 2;
        return false;
    }

    try {
        run.step(QStringLiteral("nulling ") + path);
        book.reset();
        application.reset();
        if (QFileInfo::exists(backup)) {
            run.step(QStringLiteral("deleting backup ") + path);
            if (!QFile::remove(backup))
                throw RunError(QStringLiteral("Permission denied"));
        }
        run.step(QStringLiteral("renaming ") + path + QStringLiteral(" As ") + backup);
        QFile previous(path);
        if (!previous.copy(backup))
            throw RunError(previous.errorString());
        run.step(QStringLiteral("renaming ") + temp + QStringLiteral(" As ") + path);
        replaceWith(path, temp);
    } catch (const RunError &e) {
        problem(e);
        return false;
    }
    return true;
}

} // namespace SheetFill
