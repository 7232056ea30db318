#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Field markers in the XML parts of word-processor packages (.docx, .odt).
// A marker is matched in the visible text of one paragraph, whatever runs,
// spans, bookmarks, proofing marks or revision wrappers lie between its
// characters. The value goes where the marker starts, so it takes that run's
// formatting; the marker's other pieces are emptied and all other markup is
// left byte for byte as it was.
namespace XmlMarkers {

enum class Dialect {
    Word,         // WordprocessingML: text in <w:t> inside <w:p>
    OpenDocument, // ODF: all character data inside <text:p>/<text:h>
};

// Fills the markers of each field in turn, in model order, with the same
// rules as plain documents: a later field also sees values inserted for
// earlier ones, a value is never searched again for its own marker, and the
// entity form "&amp;Name&amp;" (as visible text) is used only when the plain
// form does not occur in the part. Values are escaped for XML; their line
// breaks (CR LF, LF or CR) and tabs become the dialect's elements. Fails
// when the markup is damaged, or when a value to be written holds a
// character that XML cannot hold (the message names the field).
Result<QByteArray> fill(const QByteArray &xml, Dialect dialect, const QStringList &fieldNames, const QStringList &values);

// The visible text of the part's paragraphs, one line each (for checks).
Result<QStringList> paragraphs(const QByteArray &xml, Dialect dialect);

} // namespace XmlMarkers
