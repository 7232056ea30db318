#include "core/fill/rtfmarkers.h"

#include "core/fill/markers.h"
#include "platform/codepage.h"

#include <vector>

namespace RtfMarkers {

namespace {
// One character a reader shows, with the bytes that spell it.
struct Shown {
    qsizetype begin = 0;
    qsizetype end = 0;
};

struct Visible {
    QString text;             // '\0' stands for a break no marker runs across
    std::vector<Shown> where; // one per character of text
};

struct Group {
    int uc = 1;        // fallback characters after \uN
    bool skip = false; // a destination nobody sees
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHidden(const QByteArray &word)
{
    static const char *const hidden[] = {"fonttbl",  "colortbl", "stylesheet", "info",       "pict",
                                         "object",   "listtable", "listoverridetable", "rsidtbl",
                                         "generator", "xmlnstbl", "themedata", "colorschememapping",
                                         "datastore", "latentstyles", "fldinst", "filetbl", "revtbl"};
    for (const char *h : hidden)
        if (word == h)
            return true;
    return false;
}

bool isBreak(const QByteArray &word)
{
    static const char *const breaks[] = {"par", "sect", "page", "line", "tab", "cell", "row", "nestcell",
                                         "emdash", "endash", "bullet", "lquote", "rquote", "ldblquote",
                                         "rdblquote", "column", "softline"};
    for (const char *b : breaks)
        if (word == b)
            return true;
    return false;
}

Visible readVisible(const QByteArray &rtf)
{
    Visible v;
    std::vector<Group> groups{Group{}};
    int fallback = 0;     // fallback characters still to skip
    bool groupStart = false;
    const qsizetype n = rtf.size();
    const auto show = [&](QChar ch, qsizetype begin, qsizetype end) {
        if (groups.back().skip)
            return;
        if (fallback > 0 && !v.where.empty()) {
            --fallback; // part of the \uN before it
            v.where.back().end = end;
            return;
        }
        v.text += ch;
        v.where.push_back({begin, end});
    };
    qsizetype i = 0;
    while (i < n) {
        const char c = rtf[i];
        if (c == '{') {
            groups.push_back(groups.back());
            groupStart = true;
            ++i;
            continue;
        }
        if (c == '}') {
            if (groups.size() > 1)
                groups.pop_back();
            groupStart = false;
            fallback = 0;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        const bool first = groupStart;
        groupStart = false;
        if (c != '\\' || i + 1 >= n) {
            show(Platform::decodeWindows1252(QByteArray(1, c)).at(0), i, i + 1);
            ++i;
            continue;
        }
        const char d = rtf[i + 1];
        if (isLetter(d)) {
            qsizetype e = i + 1;
            while (e < n && isLetter(rtf[e]))
                ++e;
            const QByteArray word = rtf.mid(i + 1, e - i - 1);
            const qsizetype numberStart = e;
            if (e < n && rtf[e] == '-')
                ++e;
            while (e < n && isDigit(rtf[e]))
                ++e;
            const bool hasNumber = e > numberStart && isDigit(rtf[e - 1]);
            const int number = hasNumber ? rtf.mid(numberStart, e - numberStart).toInt() : 0;
            if (!hasNumber)
                e = numberStart;
            if (e < n && rtf[e] == ' ')
                ++e;
            if (first && isHidden(word))
                groups.back().skip = true;
            if (word == "u" && hasNumber) {
                const int code = number < 0 ? number + 65536 : number;
                show(QChar(char16_t(code)), i, e);
                fallback = groups.back().skip ? 0 : groups.back().uc;
            } else if (word == "uc") {
                groups.back().uc = number;
            } else if (word == "bin") {
                e = std::min(n, e + qsizetype(std::max(number, 0)));
            } else if (isBreak(word)) {
                fallback = 0;
                show(QChar(u'\0'), i, i);
            }
            i = e;
            continue;
        }
        if (d == '*') {
            if (first)
                groups.back().skip = true;
            i += 2;
            continue;
        }
        if (d == '\'' && i + 3 < n) {
            bool ok = false;
            const char byte = char(rtf.mid(i + 2, 2).toUInt(&ok, 16));
            if (ok)
                show(Platform::decodeWindows1252(QByteArray(1, byte)).at(0), i, i + 4);
            i += 4;
            continue;
        }
        if (d == '\\' || d == '{' || d == '}')
            show(QLatin1Char(d), i, i + 2);
        else if (d == '~')
            show(QChar(0xA0), i, i + 2);
        else if (d == '\r' || d == '\n' || d == '_')
            show(QChar(u'\0'), i, i);
        i += 2; // \- and other symbols show nothing
    }
    return v;
}

// Appends raw bytes that follow an edit; a control word left bare in front
// of them gets its ending blank, so it cannot swallow them.
void appendAfterEdit(QByteArray &out, const QByteArray &rtf, qsizetype from, qsizetype to, bool edited)
{
    if (from >= to)
        return;
    const char next = rtf[from];
    if (edited && next != '\\' && next != '{' && next != '}' && Markers::endsWithControlWord(out))
        out += ' ';
    out.append(rtf.constData() + from, to - from);
}
} // namespace

bool applies(const QByteArray &text, const QString &extension)
{
    return extension.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) == 0 && text.startsWith("{\\rtf");
}

bool containsMarker(const QByteArray &rtf, const QStringList &fieldNames)
{
    const QString visible = readVisible(rtf).text;
    for (const QString &name : fieldNames)
        if (visible.contains(QLatin1Char('&') + name + QLatin1Char('&')))
            return true;
    return false;
}

Result<QByteArray> fill(const QByteArray &rtf, const QString &extension, const QStringList &fieldNames,
                        const QStringList &values)
{
    const qsizetype largest = rtf.size() + Markers::kMaxGrowth;
    QByteArray current = rtf;
    for (qsizetype j = 0; j < fieldNames.size(); ++j) {
        const Visible v = readVisible(current);
        QString marker = QLatin1Char('&') + fieldNames[j] + QLatin1Char('&');
        qsizetype p = v.text.indexOf(marker);
        if (p < 0 && extension != QStringLiteral(".rtf")) {
            marker = QStringLiteral("&amp;") + fieldNames[j] + QStringLiteral("&amp;");
            p = v.text.indexOf(marker);
        }
        if (p < 0)
            continue;
        const QByteArray value = Markers::encodeValue(values.value(j), extension).value_or(QByteArray()); // rich text holds every character
        QByteArray out;
        out.reserve(current.size() + value.size() * 4);
        qsizetype from = 0;
        bool edited = false;
        for (; p >= 0; p = v.text.indexOf(marker, p + marker.size())) {
            const Shown &start = v.where[size_t(p)];
            appendAfterEdit(out, current, from, start.begin, edited);
            // The blank that ends a control word in front of the value.
            if (Markers::endsWithControlWord(out))
                out += ' ';
            out += value;
            if (out.size() > largest)
                return Failure{Markers::tooMuchGrowth()};
            from = start.end;
            edited = true;
            for (qsizetype k = p + 1; k < p + marker.size(); ++k) {
                const Shown &piece = v.where[size_t(k)];
                appendAfterEdit(out, current, from, piece.begin, edited);
                from = piece.end;
            }
        }
        appendAfterEdit(out, current, from, current.size(), edited);
        current = std::move(out);
    }
    return current;
}

} // namespace RtfMarkers
