// Marker substitution against a direct rendering of the per-field rule:
// for each field in turn find the marker from the start, put the value in
// its place, and look again after the inserted value. How a value is
// encoded for the document's format is taken from the program itself; the
// search-and-replace is what is compared.
//
// Input: line 1 the extension, then "Name=Value" lines, an empty line, and
// the document text.

#include "fuzzsupport.h"

#include "app/fill/markers.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
// Does `before` end with a rich-text control word: an odd run of
// backslashes, letters, and an optional (negative) number? Matched on the
// reversed text so the match is anchored at its end.
bool endsWithControlWord(const QByteArray &before)
{
    static const QRegularExpression reversedWord(QStringLiteral("^(?:[0-9]+-?)?[A-Za-z]+(\\\\+)"));
    QByteArray reversed = before;
    std::reverse(reversed.begin(), reversed.end());
    const QRegularExpressionMatch m = reversedWord.match(QString::fromLatin1(reversed));
    return m.hasMatch() && m.capturedLength(1) % 2 == 1;
}

QByteArray reference(QByteArray text, const QString &extension, const QStringList &names, const QStringList &values)
{
    const bool rtfExactly = extension == QStringLiteral(".rtf");
    const bool richText = extension.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) == 0;
    for (qsizetype j = 0; j < names.size(); ++j) {
        QByteArray marker = '&' + names[j].toUtf8() + '&';
        qsizetype p = text.indexOf(marker);
        if (!rtfExactly && p < 0) {
            marker = "&amp;" + names[j].toUtf8() + "&amp;";
            p = text.indexOf(marker);
        }
        const QByteArray value = Markers::encodeValue(values[j], extension);
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
    const QByteArray filled = Markers::ReplaceFieldMarkers(text, extension, names, values);
    FUZZ_CHECK(filled == reference(text, extension, names, values));
    return 0;
}
