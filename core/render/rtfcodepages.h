#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringDecoder>

#include <memory>

// The 8-bit and double-byte code pages that rich text names by number:
// \ansicpgN, \cpgN and a font's \fcharsetN.
namespace Rtf {

// The code page a font character set stands for; 0 when it means the
// document's own code page, -1 for symbol fonts.
int codePageOfCharset(int charset);

class CodePages {
public:
    // Decodes bytes of `codePage`; unknown code pages read as Windows-1252,
    // symbol fonts as their usual Unicode look-alikes.
    QString decode(const QByteArray &bytes, int codePage);

private:
    QHash<int, std::shared_ptr<QStringDecoder>> m_decoders;
};

} // namespace Rtf
