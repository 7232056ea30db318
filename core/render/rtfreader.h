#pragma once

#include <QByteArray>

#include <memory>

class QTextDocument;

// Our own reader for the rich text that word processors save, building a
// QTextDocument for printing. It understands font and colour tables,
// character and paragraph formatting, \'hh and \uN characters, tabs, line
// and page breaks and simple tables; anything else is skipped, never fatal.
namespace RtfReader {

bool looksLikeRtf(const QByteArray &text);

// Reads rich text into `document` (which is cleared first).
void read(const QByteArray &rtf, QTextDocument *document);

// Rich text is read as such; anything else is shown as plain text, as a
// rich-text control shows text that is not rich text.
std::unique_ptr<QTextDocument> toDocument(const QByteArray &text);

} // namespace RtfReader
