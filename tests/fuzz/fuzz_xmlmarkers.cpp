// Markers in the XML text parts of .docx and .odt: any bytes are filled as
// a Word part and as an OpenDocument part. Damaged markup may be refused,
// never crash; a well-formed part must come out well-formed with its
// markers filled.

#include "xmlfillcheck.h"

#include "core/fill/xmlmarkers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray xml(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const XmlMarkers::Dialect dialect : {XmlMarkers::Dialect::Word, XmlMarkers::Dialect::OpenDocument}) {
        const Result<QByteArray> filled = XmlMarkers::fill(xml, dialect, Fuzz::xmlFieldNames(), Fuzz::xmlValues());
        if (filled)
            Fuzz::checkFilledPart(xml, *filled, dialect);
        else // damaged markup is refused; a well-formed part never is
            FUZZ_CHECK(!Fuzz::wellFormedXml(xml));
    }
    return 0;
}
