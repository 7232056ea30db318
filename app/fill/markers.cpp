#include "app/fill/markers.h"

namespace Markers {

namespace {
bool isRichText(const QString &extension) { return extension.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) == 0; }

bool isMarkup(const QString &extension)
{
    const QString e = extension.toLower();
    return e == QStringLiteral(".htm") || e == QStringLiteral(".html") || e == QStringLiteral(".xml");
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

QByteArray escapeRichText(const QString &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (const QChar ch : value) {
        const char16_t u = ch.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
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

QByteArray escapeMarkup(const QString &value)
{
    QByteArray out;
    const QByteArray utf8 = value.toUtf8();
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}
} // namespace

QByteArray encodeValue(const QString &value, const QString &extension)
{
    if (isRichText(extension))
        return escapeRichText(value);
    if (isMarkup(extension))
        return escapeMarkup(value);
    return value.toUtf8();
}

bool endsWithControlWord(const QByteArray &before)
{
    qsizetype i = before.size();
    while (i > 0 && isDigit(before[i - 1]))
        --i;
    if (i > 0 && i < before.size() && before[i - 1] == '-')
        --i;
    const qsizetype lettersEnd = i;
    while (i > 0 && isLetter(before[i - 1]))
        --i;
    if (i == lettersEnd || i == 0 || before[i - 1] != '\\')
        return false;
    // "\\par" is an escaped backslash followed by text, not a control word.
    qsizetype slashes = 0;
    for (qsizetype k = i - 1; k >= 0 && before[k] == '\\'; --k)
        ++slashes;
    return slashes % 2 == 1;
}

QByteArray ReplaceFieldMarkers(const QByteArray &text, const QString &extension, const QStringList &fieldNames,
                               const QStringList &values)
{
    const bool exactRtf = extension == QStringLiteral(".rtf");
    const bool richText = isRichText(extension);
    QByteArray current = text;
    for (qsizetype j = 0; j < fieldNames.size(); ++j) {
        QByteArray marker = '&' + fieldNames[j].toUtf8() + '&';
        qsizetype p = current.indexOf(marker);
        if (!exactRtf && p < 0) {
            marker = "&amp;" + fieldNames[j].toUtf8() + "&amp;";
            p = current.indexOf(marker);
        }
        if (p < 0)
            continue;
        const QByteArray value = encodeValue(values.value(j), extension);
        // One sweep per field: copy up to each occurrence, then the value.
        // Text inserted here is never searched again for this marker.
        QByteArray out;
        out.reserve(current.size() + value.size() * 4);
        qsizetype from = 0;
        while (p >= 0) {
            out.append(current.constData() + from, p - from);
            const bool needsBlank = richText ? endsWithControlWord(out) : out.endsWith("\\par");
            if (needsBlank)
                out += ' ';
            out += value;
            from = p + marker.size();
            p = current.indexOf(marker, from);
        }
        out.append(current.constData() + from, current.size() - from);
        current = std::move(out);
    }
    return current;
}

} // namespace Markers
