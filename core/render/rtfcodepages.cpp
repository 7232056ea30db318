#include "core/render/rtfcodepages.h"

#include "platform/codepage.h"

namespace Rtf {

namespace {
constexpr int kSymbol = -1;

QByteArray decoderName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 10000: return "macintosh";
    case 10007: return "x-mac-cyrillic";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    default: break;
    }
    if (codePage >= 1250 && codePage <= 1258)
        return "windows-" + QByteArray::number(codePage);
    return "cp" + QByteArray::number(codePage);
}

// The characters that Symbol and Wingdings bullets stand for; other symbol
// bytes go to the private area where those fonts keep their glyphs.
QChar symbolChar(unsigned char b)
{
    switch (b) {
    case 0xB7: return QChar(0x2022);
    case 0xA7: return QChar(0x25AA);
    case 0xD8: return QChar(0x27A2);
    case 0xFC: return QChar(0x2713);
    case 0x6F: return QChar(0x25A1);
    case 0x71: return QChar(0x2751);
    case 0x76: return QChar(0x2756);
    default: break;
    }
    return b < 0x80 ? QChar(static_cast<char16_t>(b)) : QChar(static_cast<char16_t>(0xF000 + b));
}
} // namespace

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return kSymbol;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

QString CodePages::decode(const QByteArray &bytes, int codePage)
{
    if (codePage == kSymbol) {
        QString out;
        out.reserve(bytes.size());
        for (const char c : bytes)
            out += symbolChar(static_cast<unsigned char>(c));
        return out;
    }
    if (codePage == 1252 || codePage <= 0)
        return Platform::decodeWindows1252(bytes);
    auto &decoder = m_decoders[codePage];
    if (!decoder)
        decoder = std::make_shared<QStringDecoder>(decoderName(codePage).constData(),
                                                   QStringDecoder::Flag::Stateless);
    if (!decoder->isValid())
        return Platform::decodeWindows1252(bytes);
    return decoder->decode(bytes);
}

} // namespace Rtf
