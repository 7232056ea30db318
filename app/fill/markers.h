#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Field markers in documents: "&" + field name + "&", matched exactly.
namespace Markers {

// The value as bytes fit for the document's format, so typed text can never
// break the file: rich text gets its special characters escaped and
// non-ASCII written as \uN?, markup gets entities for & < >, and anything
// else takes the value as typed (UTF-8).
QByteArray encodeValue(const QString &value, const QString &extension);

// Replaces the markers of each field in turn, in model order. `values[j]`
// belongs to `fieldNames[j]`. Outside ".rtf" files the entity form
// "&amp;Name&amp;" is replaced when the plain form does not occur.
QByteArray ReplaceFieldMarkers(const QByteArray &text, const QString &extension,
                               const QStringList &fieldNames, const QStringList &values);

// True when `before` ends with a rich-text control word (a backslash,
// letters, and an optional number), which a following value would extend.
bool endsWithControlWord(const QByteArray &before);

} // namespace Markers
