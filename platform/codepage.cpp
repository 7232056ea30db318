#include "platform/codepage.h"

#include <cstring>

namespace Platform {

namespace {
// 0x80..0x9F of Windows-1252; the rest of the code page equals Latin-1.
// Unassigned positions map to the C1 control of the same value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

bool isValidUtf8(const QByteArray &bytes)
{
    // Checked in place, without decoding: documents of several megabytes
    // are asked this before every fill.
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int trail = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
            trail = 1, least = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF)
            trail = 2, least = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4)
            trail = 3, least = 0x10000;
        else
            return false;
        if (end - p <= trail)
            return false;
        char32_t c = lead & (0x3Fu >> trail);
        for (int i = 1; i <= trail; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, UTF-16 surrogates and code points past Unicode.
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        p += trail + 1;
    }
    return true;
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(kHighControls[b - 0x80]) : QChar(static_cast<char16_t>(b)));
    }
    return out;
}

std::optional<char> toWindows1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == codePoint)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

QString decodeText(const QByteArray &bytes)
{
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decodeWindows1252(bytes);
}

QByteArray encodeText(const QString &text) { return text.toUtf8(); }

} // namespace Platform
