#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Field markers in documents: "&" + field name + "&", matched exactly.
namespace Markers {

// A document's own encoding: UTF-8 when its bytes are valid UTF-8,
// Windows-1252 otherwise. Values and names are written in it, so a filled
// copy never mixes two encodings.
enum class Encoding { Utf8, Windows1252 };
Encoding encodingOf(const QByteArray &document);

// The value as bytes fit for the document's format and encoding, so typed
// text can never break the file: rich text gets its special characters
// escaped, non-ASCII written as \uN? and line breaks and tabs as \line and
// \tab, markup gets entities for & < > and for characters the encoding
// cannot hold, and HTML a <br> for each line break (CR LF, LF or CR). Plain
// text takes the value as typed. Nothing when the encoding cannot hold one
// of its characters, or for markup when XML cannot hold one.
std::optional<QByteArray> encodeValue(const QString &value, const QString &extension,
                                      Encoding encoding = Encoding::Utf8);

// Replaces the markers of each field in turn, in model order. `values[j]`
// belongs to `fieldNames[j]`. Outside ".rtf" files the entity form
// "&amp;Name&amp;" is replaced when the plain form does not occur. When a
// plain-text value cannot be written in the document's encoding, a markup
// value holds a character XML cannot hold, or the text would grow past
// kMaxGrowth, the answer is a failure that says why.
Result<QByteArray> ReplaceFieldMarkers(const QByteArray &text, const QString &extension, const QStringList &fieldNames,
                                       const QStringList &values);

// Values may hold the markers of later fields, which then fill them in
// turn; so every field can multiply the text, and a few short values could
// fill the memory. A fill that would make a text grow by more than this
// stops, and the document is left as it was.
constexpr qsizetype kMaxGrowth = 16 * 1024 * 1024;
QString tooMuchGrowth();

// True when `before` ends with a rich-text control word (a backslash, up to
// 32 letters, and an optional number of up to 10 digits), which a following
// value would extend.
bool endsWithControlWord(const QByteArray &before);

// The two ways of filling names and values already encoded for the document.
namespace Detail {
// One pass per field, each linear: always right, also when values carry "&".
// Nothing when the text would grow past kMaxGrowth.
std::optional<QByteArray> fillFieldByField(const QByteArray &text, const QString &extension, const QList<QByteArray> &names,
                            const QList<QByteArray> &values);
// One sweep over the text with a table of the names. Nothing when the
// markers could interact (a value or name with "&", an empty or repeated
// name, markers sharing an "&", a marker that a replacement could form
// anew): only the passes get those right.
std::optional<QByteArray> fillInOneSweep(const QByteArray &text, const QString &extension,
                                         const QList<QByteArray> &names, const QList<QByteArray> &values);
// Whether a value inserted at `end` needs a blank first: [begin, end) is the
// text in front, and whatever precedes `begin` ends any control word.
bool needsBlank(const char *begin, const char *end, bool richText);
bool isRichText(const QString &extension);
} // namespace Detail

} // namespace Markers
