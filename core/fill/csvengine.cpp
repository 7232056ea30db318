#include "core/fill/csvengine.h"

#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <limits>
#include <tuple>

namespace Csv {

namespace {
constexpr std::array<char16_t, 3> kDelimiters{u',', u';', u'\t'};
constexpr int kDetectRecords = 20;

const char *encodingName(Encoding e)
{
    switch (e) {
    case Encoding::Utf8: return "UTF-8";
    case Encoding::Utf16LE: return "UTF-16LE";
    case Encoding::Utf16BE: return "UTF-16BE";
    case Encoding::Windows1252: return "Windows-1252";
    }
    return "";
}

QByteArray bomOf(Encoding e)
{
    switch (e) {
    case Encoding::Utf8: return QByteArrayLiteral("\xEF\xBB\xBF");
    case Encoding::Utf16LE: return QByteArrayLiteral("\xFF\xFE");
    case Encoding::Utf16BE: return QByteArrayLiteral("\xFE\xFF");
    case Encoding::Windows1252: break;
    }
    return QByteArray();
}

// Windows-1252 by reversing the decoder, so both directions share one table.
bool toWindows1252(const QString &text, QByteArray *out)
{
    static const QHash<char16_t, char> reverse = [] {
        QHash<char16_t, char> map;
        for (int b = 0; b < 256; ++b)
            map.insert(Platform::decodeWindows1252(QByteArray(1, char(b))).at(0).unicode(), char(b));
        return map;
    }();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const auto it = reverse.constFind(c.unicode());
        if (it == reverse.cend())
            return false;
        bytes.append(it.value());
    }
    if (out)
        *out = bytes;
    return true;
}

bool encode(const QString &text, Encoding e, QByteArray *out)
{
    if (e == Encoding::Windows1252)
        return toWindows1252(text, out);
    QStringEncoder encoder(e == Encoding::Utf8 ? QStringEncoder::Utf8
                           : e == Encoding::Utf16LE ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return false;
    if (out)
        *out = bytes;
    return true;
}

QString decode(const QByteArray &bytes, Encoding e)
{
    switch (e) {
    case Encoding::Utf8: return QString::fromUtf8(bytes);
    case Encoding::Utf16LE: return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
    case Encoding::Utf16BE: return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
    case Encoding::Windows1252: return Platform::decodeWindows1252(bytes);
    }
    return QString();
}

// Splits text into records of fields with `delimiter`, at most `limit`
// records, keeping each field's raw text and each record's line end.
void split(const QString &text, QChar delimiter, qsizetype limit, Table &t)
{
    QList<Cell> row;
    Cell cell;
    cell.edited = false;
    qsizetype start = 0;
    bool inQuotes = false;
    auto endCell = [&](qsizetype end) {
        cell.raw = text.mid(start, end - start);
        row.append(cell);
        cell = Cell();
        cell.edited = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c != QLatin1Char('"'))
                cell.text += c; // line breaks inside quotes belong to the field
            else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                cell.text += text[++i];
            else
                inQuotes = false;
        } else if (c == QLatin1Char('"') && i == start) {
            inQuotes = cell.quoted = true;
        } else if (c == delimiter) {
            endCell(i);
            start = i + 1;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            const qsizetype length = c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n') ? 2 : 1;
            endCell(i);
            t.rows.append(row);
            t.ends.append(text.mid(i, length));
            row.clear();
            i += length - 1;
            start = i + 1;
            if (t.rows.size() >= limit)
                return;
        } else {
            cell.text += c;
        }
    }
    if (start < text.size() || !row.isEmpty()) {
        endCell(text.size());
        t.rows.append(row);
        t.ends.append(QString());
    }
    t.unterminatedQuote = inQuotes;
}

bool needsQuotes(const Table &t, const Cell &cell)
{
    if (cell.quoted || (t.quoteAll && !cell.text.isEmpty()))
        return true;
    // Any of the delimiters, not only the file's, so that a value never
    // makes another delimiter look like the file's one.
    for (const QChar c : cell.text)
        if (c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == t.delimiter
            || std::find(kDelimiters.begin(), kDelimiters.end(), c.unicode()) != kDelimiters.end())
            return true;
    return cell.text.startsWith(QLatin1Char(' ')) || cell.text.endsWith(QLatin1Char(' '));
}
} // namespace

QChar detectDelimiter(const QString &text)
{
    struct Score {
        int malformed = 0; // unquoted fields holding a quote: this delimiter misreads the quoting
        int records = 0;   // records the delimiter splits
        int even = 0;      // of those, records with the most common field count
        int total = 0;     // delimiters in all
        bool operator<(const Score &o) const
        {
            return std::make_tuple(-malformed, records, even, total)
                < std::make_tuple(-o.malformed, o.records, o.even, o.total);
        }
    };
    QChar best = QLatin1Char(',');
    Score bestScore;
    for (const char16_t candidate : kDelimiters) {
        Table t;
        split(text, QChar(candidate), kDetectRecords, t);
        Score s;
        QHash<qsizetype, int> counts;
        for (const QList<Cell> &row : std::as_const(t.rows)) {
            // A quoted value that holds another candidate or a line break is
            // split wrongly by that candidate, leaving quotes inside fields.
            for (const Cell &cell : row)
                if (!cell.quoted && cell.text.contains(QLatin1Char('"')))
                    ++s.malformed;
            if (row.size() < 2)
                continue;
            ++s.records;
            s.total += int(row.size() - 1);
            s.even = std::max(s.even, ++counts[row.size()]);
        }
        if (bestScore < s) {
            bestScore = s;
            best = QChar(candidate);
        }
    }
    return best;
}

Table parse(const QByteArray &input)
{
    Table t;
    QByteArray bytes = input;
    for (const Encoding e : {Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE})
        if (bytes.startsWith(bomOf(e))) {
            t.bom = true;
            t.encoding = e;
            bytes.remove(0, bomOf(e).size());
            break;
        }
    if (!t.bom)
        t.encoding = Platform::isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Windows1252;
    const QString text = decode(bytes, t.encoding);
    t.delimiter = detectDelimiter(text);
    split(text, t.delimiter, std::numeric_limits<qsizetype>::max(), t);
    for (const QString &end : std::as_const(t.ends))
        if (!end.isEmpty()) {
            t.lineEnd = end;
            break;
        }
    bool anyField = false, allQuoted = true;
    for (const QList<Cell> &row : std::as_const(t.rows))
        for (const Cell &cell : row)
            if (!cell.text.isEmpty() || cell.quoted) {
                anyField = true;
                allQuoted = allQuoted && cell.quoted;
            }
    t.quoteAll = anyField && allQuoted;
    return t;
}

Result<QByteArray> write(const Table &t)
{
    QString out;
    for (qsizetype r = 0; r < t.rows.size(); ++r) {
        const QList<Cell> &row = t.rows[r];
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += t.delimiter;
            const Cell &cell = row[c];
            if (!cell.edited) {
                out += cell.raw;
            } else if (needsQuotes(t, cell)) {
                QString escaped = cell.text;
                escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                out += QLatin1Char('"') + escaped + QLatin1Char('"');
            } else {
                out += cell.text;
            }
        }
        out += t.ends.value(r);
    }
    QByteArray bytes;
    if (!encode(out, t.encoding, &bytes))
        return Failure{QStringLiteral("The file's encoding (%1) cannot hold every value").arg(QLatin1String(encodingName(t.encoding)))};
    return t.bom ? bomOf(t.encoding) + bytes : bytes;
}

Status setCell(Table &t, int row, int column, const QString &text)
{
    if (row < 1 || column < 1)
        return Failure{QStringLiteral("Invalid cell address")};
    if (!encode(text, t.encoding, nullptr))
        return Failure{QStringLiteral("The value \"%1\" cannot be written in this file's encoding (%2)")
                           .arg(text, QLatin1String(encodingName(t.encoding)))};
    while (t.rows.size() < row) {
        // A file without a final line end keeps that style: the former last
        // record gets the separating line end, the new last one none.
        const bool finalLineEnd = t.ends.isEmpty() || !t.ends.last().isEmpty();
        if (!finalLineEnd)
            t.ends.last() = t.lineEnd;
        t.rows.append(QList<Cell>());
        t.ends.append(finalLineEnd ? t.lineEnd : QString());
    }
    QList<Cell> &r = t.rows[row - 1];
    while (r.size() < column)
        r.append(Cell());
    Cell &cell = r[column - 1];
    if (cell.text == text)
        return {};
    cell.text = text;
    cell.edited = true;
    return {};
}

Result<std::unique_ptr<Workbook>> Workbook::read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Failure{QFileInfo::exists(path) ? f.errorString() : QStringLiteral("File not found")};
    return std::make_unique<Workbook>(parse(f.readAll()));
}

Result<Sheets::Worksheet *> Workbook::worksheet(int position)
{
    if (position != 1)
        return Failure{Sheets::noSuchWorksheet(position)};
    return static_cast<Sheets::Worksheet *>(this);
}

Status Workbook::saveAs(const QString &path)
{
    const Result<QByteArray> bytes = write(m_table);
    if (!bytes)
        return bytes.failure();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return Failure{out.errorString()};
    out.write(*bytes);
    if (!out.commit())
        return Failure{out.errorString()};
    return {};
}

Result<QString> Workbook::cellText(int row, int column)
{
    if (row < 1 || column < 1 || row > m_table.rows.size())
        return QString();
    const QList<Cell> &r = m_table.rows[row - 1];
    return column <= r.size() ? r[column - 1].text : QString();
}

Status Workbook::setCellText(int row, int column, const QString &text) { return setCell(m_table, row, column, text); }

} // namespace Csv
