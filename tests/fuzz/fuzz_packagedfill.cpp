// The .docx/.odt fill of whole packages: any bytes (a zip file, or parts
// stored into one) are filled as a .docx and as an .odt. A damaged package
// is refused, never crashes; in the filled copy every text part that was
// well-formed stays so, with its markers filled.

#include "partspackage.h"
#include "xmlfillcheck.h"

#include "core/fill/fillrun.h"
#include "core/fill/packagedfill.h"
#include "core/fill/zippackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::packageBytes(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const QString source = Fuzz::writeScratch(QStringLiteral("In.zip"), bytes.constData(), static_cast<size_t>(bytes.size()));
    for (const QString &extension : {QStringLiteral(".docx"), QStringLiteral(".odt")}) {
        const QString target = Fuzz::scratchFolder() + QStringLiteral("Filled") + extension;
        if (!PackagedFill::fillPackage(source, target, extension, Fuzz::xmlFieldNames(), Fuzz::xmlValues()))
            continue;
        Zip::Package before;
        Zip::Package after;
        FUZZ_CHECK(before.open(source) && after.open(target));
        const auto dialect = extension == QStringLiteral(".docx") ? XmlMarkers::Dialect::Word
                                                                  : XmlMarkers::Dialect::OpenDocument;
        for (const QString &entry : before.entryNames()) {
            QByteArray part;
            QByteArray filled;
            if (!PackagedFill::isTextPart(entry, extension) || !before.read(entry, &part))
                continue;
            FUZZ_CHECK(after.read(entry, &filled));
            Fuzz::checkFilledPart(part, filled, dialect);
        }
    }
    return 0;
}
