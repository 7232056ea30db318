// The text decoder: valid UTF-8 is taken as UTF-8 and encodes back to the
// same bytes; anything else is Windows-1252, one character per byte. The
// validity test is checked against a plain decoder of the UTF-8 rules.

#include "fuzzsupport.h"

#include "platform/codepage.h"

namespace {
// Well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no truncated sequence.
bool wellFormedUtf8(const QByteArray &b)
{
    qsizetype i = 0;
    while (i < b.size()) {
        const auto c = static_cast<unsigned char>(b[i]);
        int extra = 0;
        char32_t cp = 0, min = 0;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) { extra = 1; cp = c & 0x1F; min = 0x80; }
        else if (c >= 0xE0 && c <= 0xEF) { extra = 2; cp = c & 0x0F; min = 0x800; }
        else if (c >= 0xF0 && c <= 0xF4) { extra = 3; cp = c & 0x07; min = 0x10000; }
        else return false;
        if (i + extra >= b.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(b[i + k]);
            if ((n & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (n & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const bool valid = Platform::isValidUtf8(bytes);
    FUZZ_CHECK(valid == wellFormedUtf8(bytes));
    const QString text = Platform::decodeText(bytes);
    if (valid) {
        FUZZ_CHECK(Platform::encodeText(text) == bytes);
    } else {
        FUZZ_CHECK(text.size() == bytes.size());
        FUZZ_CHECK(text == Platform::decodeWindows1252(bytes));
        for (qsizetype i = 0; i < bytes.size(); ++i)
            if (static_cast<unsigned char>(bytes[i]) < 0x80)
                FUZZ_CHECK(text[i].unicode() == static_cast<unsigned char>(bytes[i]));
    }
    return 0;
}
