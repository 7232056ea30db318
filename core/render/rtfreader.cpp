#include "core/render/rtfreader.h"

#include "core/render/rtfparser.h"
#include "platform/codepage.h"

#include <QTextDocument>

namespace RtfReader {

bool looksLikeRtf(const QByteArray &text) { return text.trimmed().startsWith("{\\rtf"); }

Document readDocument(const QByteArray &rtf) { return Rtf::Parser(rtf).run(); }

std::unique_ptr<QTextDocument> toDocument(const QByteArray &text)
{
    if (looksLikeRtf(text))
        return readDocument(text).body;
    auto doc = std::make_unique<QTextDocument>();
    doc->setPlainText(Platform::decodeText(text));
    return doc;
}

} // namespace RtfReader
