// Marker substitution against a direct rendering of the per-field rule:
// for each field in turn find the marker from the start, put the value in
// its place, and look again after the inserted value. How a value is
// encoded for the document's format is taken from the program itself; the
// search-and-replace is what is compared.
//
// Input: line 1 the extension, then "Name=Value" lines, an empty line, and
// the document text.

#include "fuzzsupport.h"

#include "core/fill/markers.h"
#include "platform/codepage.h"

#include <algorithm>

namespace {
// Does `before` end with a rich-text control word: an odd run of
// backslashes, letters, and an optional (negative) number? Read backwards
// from the end, so that the time is that of the word, not of the text.
bool endsWithControlWord(const QByteArray &before)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    qsizetype i = before.size();
    int digits = 0;
    while (i > 0 && digits <= 10 && isDigit(before[i - 1]))
        --i, ++digits;
    if (digits > 10)
        return false;
    if (digits > 0 && i > 0 && before[i - 1] == '-')
        --i;
    int letters = 0;
    while (i > 0 && letters <= 32 && isLetter(before[i - 1]))
        --i, ++letters;
    if (letters == 0 || letters > 32)
        return false;
    qsizetype backslashes = 0;
    while (i > 0 && before[i - 1] == '\\')
        --i, ++backslashes;
    return backslashes % 2 == 1;
}

// A name in the document's own encoding, or nothing when it cannot be written in it.
std::optional<QByteArray> encodeName(const QString &name, Markers::Encoding encoding)
{
    if (encoding == Markers::Encoding::Utf8)
        return name.toUtf8();
    QByteArray out;
    for (const char32_t c : name.toUcs4()) {
        const std::optional<char> b = Platform::toWindows1252(c);
        if (!b)
            return std::nullopt;
        out += *b;
    }
    return out;
}

// The per-field rule, field by field over the growing text, with names and
// values in the document's own encoding. Nothing when a value the document
// cannot hold would be used: then the text must stay as it was.
std::optional<QByteArray> reference(QByteArray text, const QString &extension, const QStringList &names,
                                    const QStringList &values)
{
    const Markers::Encoding encoding = Markers::encodingOf(text);
    const bool rtfExactly = extension == QStringLiteral(".rtf");
    const bool richText = extension.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) == 0;
    const bool anyAmpersand = values.join(QString()).contains(QLatin1Char('&'));
    QList<QByteArray> encodedNames, encodedValues;
    for (qsizetype j = 0; j < names.size(); ++j) {
        const std::optional<QByteArray> name = encodeName(names[j], encoding);
        if (!name)
            continue;
        const std::optional<QByteArray> value = Markers::encodeValue(values[j], extension, encoding);
        if (!value) {
            if (text.contains('&' + *name + '&') || text.contains("&amp;" + *name + "&amp;") || anyAmpersand)
                return std::nullopt;
            continue;
        }
        encodedNames << *name;
        encodedValues << *value;
    }
    // Values holding other fields' markers may multiply the text; past
    // this it is left as it was.
    const qsizetype largest = text.size() + Markers::kMaxGrowth;
    for (qsizetype j = 0; j < encodedNames.size(); ++j) {
        QByteArray marker = '&' + encodedNames[j] + '&';
        qsizetype p = text.indexOf(marker);
        if (!rtfExactly && p < 0) {
            marker = "&amp;" + encodedNames[j] + "&amp;";
            p = text.indexOf(marker);
        }
        const QByteArray &value = encodedValues[j];
        // Built up in one pass: the search goes on after each inserted value.
        QByteArray filled;
        qsizetype from = 0;
        while (p >= 0) {
            filled += QByteArrayView(text).sliced(from, p - from);
            if (richText ? endsWithControlWord(filled) : filled.endsWith("\\par"))
                filled += ' ';
            filled += value;
            if (filled.size() > largest)
                return std::nullopt;
            from = p + marker.size();
            p = text.indexOf(marker, from);
        }
        if (from > 0)
            text = filled.append(QByteArrayView(text).sliced(from));
    }
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype head = input.indexOf("\n\n");
    if (head < 0)
        return 0;
    const QList<QByteArray> lines = input.left(head).split('\n');
    const QByteArray text = input.mid(head + 2);
    const QString extension = QString::fromUtf8(lines.first());
    QStringList names, values;
    for (qsizetype i = 1; i < lines.size() && names.size() < 16; ++i) {
        const qsizetype eq = lines[i].indexOf('=');
        names << QString::fromUtf8(eq < 0 ? lines[i] : lines[i].left(eq));
        values << QString::fromUtf8(eq < 0 ? QByteArray() : lines[i].mid(eq + 1));
    }
    const Result<QByteArray> filled = Markers::ReplaceFieldMarkers(text, extension, names, values);
    const std::optional<QByteArray> expected = reference(text, extension, names, values);
    // A value the document's encoding cannot hold is a problem that says so.
    FUZZ_CHECK(expected ? filled && *filled == *expected : !filled && !filled.error().isEmpty());
    return 0;
}
