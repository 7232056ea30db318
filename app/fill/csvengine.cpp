#include "app/fill/csvengine.h"

#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Csv {

char detectDelimiter(const QByteArray &bytes)
{
    int counts[3] = {0, 0, 0};
    const char candidates[3] = {',', ';', '\t'};
    // Quotes count as the parser reads them: they open a value only at its
    // start, and a doubled quote inside stays inside.
    bool inQuotes = false, fieldStart = true;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"')
                ++i;
            else if (c == '"')
                inQuotes = false;
            continue;
        }
        if (c == '\n' || c == '\r')
            break;
        if (c == '"' && fieldStart) {
            inQuotes = true;
            fieldStart = false;
            continue;
        }
        fieldStart = false;
        for (int k = 0; k < 3; ++k)
            if (c == candidates[k]) {
                ++counts[k];
                fieldStart = true;
            }
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best])
            best = i;
    return counts[best] > 0 ? candidates[best] : ',';
}

Table parse(const QByteArray &input)
{
    Table t;
    QByteArray bytes = input;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        t.bom = true;
        bytes.remove(0, 3);
    }
    const QString text = Platform::decodeText(bytes);
    t.delimiter = detectDelimiter(bytes);
    const QChar delimiter = QLatin1Char(t.delimiter);
    // The first line end outside quotes is the file's line end.
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && text[i] == QLatin1Char('\r')) {
            t.lineEnd = i + 1 < text.size() && text[i + 1] == QLatin1Char('\n') ? "\r\n" : "\r";
            break;
        } else if (!quoted && text[i] == QLatin1Char('\n')) {
            t.lineEnd = "\n";
            break;
        }
    }
    t.finalLineEnd = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));

    QList<Cell> row;
    Cell cell;
    bool inQuotes = false;
    bool anyField = false, allQuoted = true;
    auto endCell = [&] {
        if (!cell.text.isEmpty() || cell.quoted) {
            anyField = true;
            allQuoted = allQuoted && cell.quoted;
        }
        row.append(cell);
        cell = Cell();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell.text += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                cell.text += c; // line breaks inside quotes belong to the cell
            }
        } else if (c == QLatin1Char('"') && cell.text.isEmpty() && !cell.quoted) {
            inQuotes = true;
            cell.quoted = true;
        } else if (c == delimiter) {
            endCell();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endCell();
            t.rows.append(row);
            row.clear();
        } else {
            cell.text += c;
        }
    }
    if (!cell.text.isEmpty() || cell.quoted || !row.isEmpty()) {
        endCell();
        t.rows.append(row);
    }
    t.quoteAll = anyField && allQuoted;
    return t;
}

QByteArray write(const Table &t)
{
    const QChar delimiter = QLatin1Char(t.delimiter);
    auto writeRow = [&](const QList<Cell> &row, bool quoteEverything) {
        QString out;
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += delimiter;
            const Cell &cell = row[c];
            const bool needs = cell.text.contains(delimiter) || cell.text.contains(QLatin1Char('"'))
                || cell.text.contains(QLatin1Char('\n')) || cell.text.contains(QLatin1Char('\r'))
                || cell.text.startsWith(QLatin1Char(' ')) || cell.text.endsWith(QLatin1Char(' '));
            if (needs || cell.quoted || ((t.quoteAll || quoteEverything) && !cell.text.isEmpty())) {
                QString escaped = cell.text;
                escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                out += QLatin1Char('"') + escaped + QLatin1Char('"');
            } else {
                out += cell.text;
            }
        }
        return out;
    };
    QString out;
    const QString lineEnd = QString::fromLatin1(t.lineEnd);
    for (qsizetype r = 0; r < t.rows.size(); ++r) {
        QString line = writeRow(t.rows[r], false);
        // The delimiter is detected from the first record when the file is
        // read again; a value there holding more of another delimiter
        // ("Smith; Jones; Brown; Lee" in a comma file) would change it, and
        // quoted values hide their contents from the detection.
        if (r == 0 && detectDelimiter(Platform::encodeText(line)) != t.delimiter)
            line = writeRow(t.rows[r], true);
        out += line;
        if (r + 1 < t.rows.size() || t.finalLineEnd)
            out += lineEnd;
    }
    QByteArray bytes = Platform::encodeText(out);
    if (t.bom)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

Workbook::Workbook(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw RunError(QFileInfo::exists(path) ? f.errorString() : QStringLiteral("File not found"));
    m_table = parse(f.readAll());
}

Sheets::Worksheet &Workbook::worksheet(int position)
{
    if (position != 1)
        throw RunError(Sheets::noSuchWorksheet(position));
    return *this;
}

void Workbook::saveAs(const QString &path)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw RunError(out.errorString());
    out.write(write(m_table));
    if (!out.commit())
        throw RunError(out.errorString());
}

QString Workbook::cellText(int row, int column)
{
    if (row < 1 || column < 1 || row > m_table.rows.size())
        return QString();
    const QList<Cell> &r = m_table.rows[row - 1];
    return column <= r.size() ? r[column - 1].text : QString();
}

void Workbook::setCellText(int row, int column, const QString &text)
{
    if (row < 1 || column < 1)
        throw RunError(QStringLiteral("Invalid cell address"));
    while (m_table.rows.size() < row)
        m_table.rows.append(QList<Cell>());
    QList<Cell> &r = m_table.rows[row - 1];
    while (r.size() < column)
        r.append(Cell());
    r[column - 1].text = text;
}

} // namespace Csv
