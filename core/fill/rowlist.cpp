#include "core/fill/rowlist.h"

#include "core/fill/csvengine.h"
#include "core/fill/nativeworkbook.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace RowList {

namespace {
// More cells than a worksheet can have: a row repeated without end in an
// ODF sheet must not become a million records.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

// The length of the well-formed UTF-8 sequence at `i`, or 0.
int utf8SequenceAt(const QByteArray &bytes, qsizetype i)
{
    const auto lead = uchar(bytes[i]);
    if (lead < 0x80)
        return 1;
    const int length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > bytes.size())
        return 0;
    uint code = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const auto next = uchar(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    static constexpr uint kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

int lineAt(const QByteArray &bytes, qsizetype offset)
{
    const QByteArray before = bytes.left(offset);
    const qsizetype breaks = before.count('\n');
    return 1 + int(breaks > 0 ? breaks : before.count('\r'));
}

// A file that is UTF-8 for the most part but holds a byte that is not
// would be read as Windows-1252 whole, turning every accented letter into
// two wrong ones ("José" into "JosÃ©"): it is refused at that byte.
std::optional<Problem> mixedEncoding(const QByteArray &bytes)
{
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return std::nullopt; // UTF-16
    bool utf8 = bom;
    qsizetype invalid = -1;
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = utf8SequenceAt(bytes, i);
        if (length == 0 && invalid < 0)
            invalid = i;
        utf8 = utf8 || length > 1;
        i += std::max(length, 1);
    }
    if (invalid < 0 || !utf8)
        return std::nullopt;
    return Problem{lineAt(bytes, invalid),
                   QStringLiteral("the file is UTF-8 but holds bytes that are not (byte %1 is 0x%2); "
                                  "save it again as UTF-8")
                       .arg(invalid + 1)
                       .arg(uchar(bytes[invalid]), 2, 16, QLatin1Char('0'))};
}

qsizetype lineBreaksIn(const QString &text)
{
    return text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r')) - text.count(QStringLiteral("\r\n"));
}

std::optional<Problem> headerProblem(const QStringList &header, int line)
{
    QHash<QString, int> seen;
    for (int c = 0; c < header.size(); ++c) {
        const QString key = header[c].trimmed().toCaseFolded();
        if (key.isEmpty())
            return Problem{line, QStringLiteral("column %1 of the header has no name").arg(c + 1)};
        if (seen.contains(key))
            return Problem{line, QStringLiteral("the header names \"%1\" twice (columns %2 and %3)")
                                     .arg(header[c].trimmed())
                                     .arg(seen.value(key) + 1)
                                     .arg(c + 1)};
        seen.insert(key, c);
    }
    return std::nullopt;
}

List readCsv(const QByteArray &bytes)
{
    List list;
    if ((list.error = mixedEncoding(bytes)))
        return list;
    const Csv::Table table = Csv::parse(bytes);
    int line = 1;
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const int start = line;
        QStringList cells;
        bool blank = true;
        for (const Csv::Cell &cell : table.rows[r]) {
            cells << cell.text;
            blank = blank && cell.text.isEmpty() && !cell.quoted;
            line += int(lineBreaksIn(cell.raw));
        }
        line += table.ends.value(r).isEmpty() ? 0 : 1;
        if (table.unterminatedQuote && r == table.rows.size() - 1) {
            list.error = Problem{start, QStringLiteral("a quoted field is never closed: every line after it would "
                                                       "become part of it")};
            return list;
        }
        if (blank)
            continue; // an empty line, often the last one
        if (list.header.isEmpty() && list.records.isEmpty()) {
            list.header = cells;
            if ((list.error = headerProblem(cells, start)))
                return list;
            continue;
        }
        if (cells.size() != list.header.size())
            list.ragged << Problem{start, (cells.size() == 1 ? QStringLiteral("1 field") : QStringLiteral("%1 fields")
                                                                                                  .arg(cells.size()))
                                              + QStringLiteral(" where the header has %1").arg(list.header.size())};
        list.records << cells;
        list.lines << start;
    }
    return list;
}

QString columnName(int column)
{
    QString name;
    for (int c = column; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

List readSheet(const QString &path)
{
    List list;
    Native::Application application;
    Result<std::unique_ptr<Sheets::Workbook>> book = application.open(path);
    if (!book) {
        list.error = Problem{0, book.failure().message};
        return list;
    }
    const Result<Sheets::Worksheet *> sheet = (*book)->worksheet(1);
    if (!sheet) {
        list.error = Problem{0, sheet.failure().message};
        return list;
    }
    const auto *grid = dynamic_cast<const Native::Grid *>(*sheet);
    if (!grid) {
        list.error = Problem{0, QStringLiteral("the first sheet cannot be read")};
        return list;
    }
    int width = 0;
    Status damage; // the first damage found; the list is refused with it at the end
    for (const Native::RowRun &run : grid->rows) {
        QStringList cells;
        for (const Native::CellRun &cell : run.cells) {
            Result<QString> read = grid->readText(cell);
            if (!read && damage)
                damage = read.failure();
            // Once damage is found every read answers it: the text as
            // decoded (empty where damaged) still shapes the rows.
            const QString text = read ? std::move(read).value() : grid->textOf(cell);
            if (text.isEmpty())
                continue;
            const int last = std::min(cell.column + cell.count - 1, kMaxColumns);
            while (cells.size() < last)
                cells << QString();
            for (int c = cell.column; c <= last; ++c)
                cells[c - 1] = text;
        }
        if (cells.isEmpty())
            continue;
        if (list.header.isEmpty()) {
            list.header = cells;
            width = int(cells.size());
            if ((list.error = headerProblem(cells, run.row))) {
                list.error->sheetRow = true;
                return list;
            }
            continue;
        }
        for (int r = run.row; r < run.row + run.count && r <= kMaxRows; ++r) {
            if (cells.size() > width)
                list.ragged << Problem{r,
                                       QStringLiteral("a value in column %1, right of the named columns")
                                           .arg(columnName(width + 1)),
                                       true};
            list.records << cells;
            list.lines << r;
        }
    }
    if (!damage)
        list.error = Problem{0, damage.error()};
    return list;
}
} // namespace

QString Problem::text() const
{
    if (line <= 0)
        return message;
    return (sheetRow ? QStringLiteral("row %1: %2") : QStringLiteral("line %1: %2")).arg(line).arg(message);
}

bool isWorkbook(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) == 0
        || suffix.compare(QStringLiteral("ods"), Qt::CaseInsensitive) == 0;
}

List read(const QString &path)
{
    if (isWorkbook(path))
        return readSheet(path);
    List list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        list.error = Problem{0, file.errorString()};
        return list;
    }
    return readCsv(file.readAll());
}

} // namespace RowList
