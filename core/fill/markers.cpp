#include "core/fill/markers.h"

#include "core/fill/valuetext.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace Markers {

namespace {
// Rich-text readers take at most this many letters in a control word and
// this many digits in its number; the bound also keeps the look-back short.
constexpr qsizetype kMaxControlLetters = 32;
constexpr qsizetype kMaxControlDigits = 10;

bool isHtml(const QString &extension)
{
    const QString e = extension.toLower();
    return e == QStringLiteral(".htm") || e == QStringLiteral(".html");
}

bool isMarkup(const QString &extension)
{
    return isHtml(extension) || extension.compare(QStringLiteral(".xml"), Qt::CaseInsensitive) == 0;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

QByteArray escapeRichText(const QString &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (const QChar ch : ValueText::withLineFeeds(value)) {
        const char16_t u = ch.unicode();
        // Readers skip bare line ends: a value's line break is a control word,
        // and so is its tab.
        if (u == u'\n') {
            out += "\\line ";
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else {
            // \uN takes a signed 16-bit number; "?" is the fallback readers
            // without Unicode show. Surrogate pairs go out as two \u words.
            out += "\\u" + QByteArray::number(static_cast<qint16>(u)) + '?';
        }
    }
    return out;
}

// One character in the document's encoding; nothing when it has no such one.
std::optional<QByteArray> encodeCharacter(char32_t c, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return QString::fromUcs4(&c, 1).toUtf8();
    const std::optional<char> b = Platform::toWindows1252(c);
    return b ? std::optional<QByteArray>(QByteArray(1, *b)) : std::nullopt;
}

// `lineBreak`, when given, stands for each line break of the value.
std::optional<QByteArray> encodeText(const QString &value, Encoding encoding, bool markup,
                                     const QByteArray &lineBreak = QByteArray())
{
    QByteArray out;
    out.reserve(value.size());
    for (const char32_t c : (lineBreak.isEmpty() ? value : ValueText::withLineFeeds(value)).toUcs4()) {
        if (!lineBreak.isEmpty() && c == U'\n')
            out += lineBreak;
        else if (markup && c == U'&')
            out += "&amp;";
        else if (markup && c == U'<')
            out += "&lt;";
        else if (markup && c == U'>')
            out += "&gt;";
        else if (const std::optional<QByteArray> bytes = encodeCharacter(c, encoding))
            out += *bytes;
        else if (markup)
            out += "&#" + QByteArray::number(static_cast<quint32>(c)) + ';';
        else
            return std::nullopt;
    }
    return out;
}

// Every marker starts with "&": going from one "&" to the next is far
// faster than a general search in texts that hold few of them.
qsizetype findMarker(const QByteArray &text, const QByteArray &marker, qsizetype from)
{
    const char *data = text.constData();
    const qsizetype last = text.size() - marker.size();
    while (from <= last) {
        const void *hit = std::memchr(data + from, '&', static_cast<size_t>(last - from + 1));
        if (!hit)
            return -1;
        const qsizetype p = static_cast<const char *>(hit) - data;
        if (std::memcmp(data + p, marker.constData(), static_cast<size_t>(marker.size())) == 0)
            return p;
        from = p + 1;
    }
    return -1;
}

// The first character of a value that the encoding cannot hold.
QString firstUnwritable(const QString &value)
{
    for (const char32_t c : value.toUcs4())
        if (!Platform::toWindows1252(c))
            return QString::fromUcs4(&c, 1);
    return QString();
}
} // namespace

Encoding encodingOf(const QByteArray &document)
{
    return Platform::isValidUtf8(document) ? Encoding::Utf8 : Encoding::Windows1252;
}

std::optional<QByteArray> encodeValue(const QString &value, const QString &extension, Encoding encoding)
{
    if (Detail::isRichText(extension))
        return escapeRichText(value); // plain ASCII, whatever the file's code page
    // Markup cannot hold some characters at all, not even as references.
    if (isMarkup(extension) && ValueText::firstUnfitForXml(value))
        return std::nullopt;
    // A browser joins the lines of a value written with bare line ends.
    return encodeText(value, encoding, isMarkup(extension), isHtml(extension) ? QByteArray("<br>") : QByteArray());
}

bool Detail::isRichText(const QString &extension)
{
    return extension.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) == 0;
}

bool Detail::needsBlank(const char *begin, const char *end, bool richText)
{
    if (!richText)
        return end - begin >= 4 && QByteArrayView(end - 4, 4) == "\\par";
    const char *p = end;
    while (p > begin && end - p < kMaxControlDigits && isDigit(p[-1]))
        --p;
    if (p > begin && p < end && p[-1] == '-')
        --p;
    const char *lettersEnd = p;
    while (p > begin && lettersEnd - p < kMaxControlLetters && isLetter(p[-1]))
        --p;
    if (p == lettersEnd || p == begin || p[-1] != '\\')
        return false;
    // "\\par" is an escaped backslash followed by text, not a control word.
    qsizetype slashes = 0;
    for (const char *k = p - 1; k >= begin && *k == '\\'; --k)
        ++slashes;
    return slashes % 2 == 1;
}

bool endsWithControlWord(const QByteArray &before)
{
    return Detail::needsBlank(before.constData(), before.constData() + before.size(), true);
}

QString tooMuchGrowth()
{
    return QStringLiteral("The values hold the markers of other fields so often that the document would grow by "
                          "more than %1 MB")
        .arg(kMaxGrowth / (1024 * 1024));
}

std::optional<QByteArray> Detail::fillFieldByField(const QByteArray &text, const QString &extension,
                                                   const QList<QByteArray> &names, const QList<QByteArray> &values)
{
    const qsizetype largest = text.size() + kMaxGrowth;
    const bool exactRtf = extension == QStringLiteral(".rtf");
    const bool richText = isRichText(extension);
    QByteArray current = text;
    for (qsizetype j = 0; j < names.size(); ++j) {
        QByteArray marker = '&' + names[j] + '&';
        qsizetype p = findMarker(current, marker, 0);
        if (!exactRtf && p < 0) {
            marker = "&amp;" + names[j] + "&amp;";
            p = findMarker(current, marker, 0);
        }
        if (p < 0)
            continue;
        const QByteArray &value = values[j];
        // One sweep per field: copy up to each occurrence, then the value.
        // Text inserted here is never searched again for this marker.
        QByteArray out;
        out.reserve(current.size() + value.size() * 4);
        qsizetype from = 0;
        while (p >= 0) {
            out.append(current.constData() + from, p - from);
            if (needsBlank(out.constData(), out.constData() + out.size(), richText))
                out += ' ';
            out += value;
            if (out.size() > largest)
                return std::nullopt;
            from = p + marker.size();
            p = findMarker(current, marker, from);
        }
        out.append(current.constData() + from, current.size() - from);
        current = std::move(out);
    }
    return current;
}

Result<QByteArray> ReplaceFieldMarkers(const QByteArray &text, const QString &extension, const QStringList &fieldNames,
                                       const QStringList &values)
{
    // Plain ASCII is the same in either encoding; only other text makes it
    // worth looking through the document for its encoding.
    const auto ascii = [](const QString &s) {
        return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
    };
    const bool allAscii = std::all_of(fieldNames.cbegin(), fieldNames.cend(), ascii)
        && (Detail::isRichText(extension) || std::all_of(values.cbegin(), values.cend(), ascii));
    const Encoding encoding = allAscii ? Encoding::Utf8 : encodingOf(text);
    QList<QByteArray> names, encodedValues;
    for (qsizetype j = 0; j < fieldNames.size(); ++j) {
        // A name the encoding cannot hold cannot stand in the document.
        const std::optional<QByteArray> name = encodeText(fieldNames[j], encoding, false);
        if (!name)
            continue;
        const std::optional<QByteArray> value = encodeValue(values.value(j), extension, encoding);
        if (!value) {
            const std::optional<char32_t> unfit =
                isMarkup(extension) ? ValueText::firstUnfitForXml(values.value(j)) : std::nullopt;
            const bool used = text.contains('&' + *name + '&') || text.contains("&amp;" + *name + "&amp;")
                || values.join(QString()).contains(QLatin1Char('&'));
            if (!used)
                continue;
            return Failure{unfit ? ValueText::unfitCharacterText(fieldNames[j], *unfit, QStringLiteral("documents"))
                                 : QStringLiteral("The value of %1 holds \"%2\", which this Windows-1252 document "
                                                  "cannot hold")
                                       .arg(fieldNames[j], firstUnwritable(values.value(j)))};
        }
        names << *name;
        encodedValues << *value;
    }
    std::optional<QByteArray> filled = Detail::fillInOneSweep(text, extension, names, encodedValues);
    if (!filled)
        filled = Detail::fillFieldByField(text, extension, names, encodedValues);
    if (!filled || filled->size() > text.size() + kMaxGrowth)
        return Failure{tooMuchGrowth()};
    return std::move(*filled);
}

} // namespace Markers
