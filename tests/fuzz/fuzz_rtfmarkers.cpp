// Markers split by rich-text groups and control words: any bytes are
// filled. Nothing may crash or hang, and a text without "&" holds no
// marker, so it must come out byte for byte as it went in.

#include "fuzzsupport.h"

#include "core/fill/rtfmarkers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QStringList names{QStringLiteral("First Name"), QStringLiteral("City"), QStringLiteral("N")};
    static const QStringList values{QStringLiteral("Ann {\\b}"), QString(), QStringLiteral("caf\u00e9 \u20ac &N&")};
    const QByteArray rtf(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString extension = QStringLiteral(".rtf");
    RtfMarkers::containsMarker(rtf, names);
    const Result<QByteArray> filled = RtfMarkers::fill(rtf, extension, names, values);
    FUZZ_CHECK(rtf.contains('&') || (filled && *filled == rtf));
    return 0;
}
