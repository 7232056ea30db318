#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Field markers in rich text, matched in the text a reader sees: a marker
// split by groups and control words ("&Fi{\b rst} Name&") or written with
// escapes ("&Caf\'e9&", "&Caf\u233?&") is found as well as a plain one.
namespace RtfMarkers {

// True for rich text that this matching applies to.
bool applies(const QByteArray &text, const QString &extension);

// True when the text a reader sees holds the marker of one of the fields.
bool containsMarker(const QByteArray &rtf, const QStringList &fieldNames);

// Replaces the markers of each field in turn, in model order, as the plain
// replacement does: a value is never searched again for its own marker,
// later fields see earlier values, a value after a control word gets the
// blank that ends it. The value goes where the marker's first character
// was, so it takes the formatting in force there; the marker's other
// characters are removed and its control words and groups stay. When the
// text would grow past Markers::kMaxGrowth, the answer is a failure that
// says why.
Result<QByteArray> fill(const QByteArray &rtf, const QString &extension, const QStringList &fieldNames,
                        const QStringList &values);

} // namespace RtfMarkers
