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

#include <QRegularExpression>

#include <algorithm>

namespace {
// Does `before` end with a rich-text control word: an odd run of
// backslashes, letters, and an optional (negative) number? Matched on the
// reversed text so the match is anchored at its end.
bool endsWithControlWord(const QByteArray &before)
{
    static const QRegularExpression reversedWord(QStringLiteral("^(?:[0-9]{1,10}-?)?[A-Za-z]{1,32}(\\\\+)"));
    QByteArray reversed = before;
    std::reverse(reversed.begin(), reversed.end());
    const QRegularExpressionMatch m = reversedWord.match(QString::fromLatin1(reversed));
    return m.hasMatch() && m.capturedLength(1) % 2 == 1;
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
    for (qsizetype j = 0; j < encodedNames.size(); ++j) {
        QByteArray marker = '&' + encodedNames[j] + '&';
        qsizetype p = text.indexOf(marker);
        if (!rtfExactly && p < 0) {
            marker = "&amp;" + encodedNames[j] + "&amp;";
            p = text.indexOf(marker);
        }
        const QByteArray &value = encodedValues[j];
        while (p >= 0) {
            QByteArray before = text.left(p);
            if (richText ? endsWithControlWord(before) : before.endsWith("\\par"))
                before += ' ';
            text = before + value + text.mid(p + marker.size());
            p = text.indexOf(marker, before.size() + value.size());
        }
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
    QString problem;
    const QByteArray filled = Markers::ReplaceFieldMarkers(text, extension, names, values, &problem);
    const std::optional<QByteArray> expected = reference(text, extension, names, values);
    // A value the document's encoding cannot hold leaves the text as it was.
    FUZZ_CHECK(expected ? filled == *expected && problem.isEmpty() : filled == text && !problem.isEmpty());
    return 0;
}
