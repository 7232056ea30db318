// The data-set reader takes any bytes; the values it reads are written and
// read back unchanged, one per line.

#include "fuzzsupport.h"

#include "core/model/datasets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::writeScratch(QStringLiteral("Smith"), reinterpret_cast<const char *>(data), size);
    const Result<QStringList> values = DataSets::read(path);
    FUZZ_CHECK(values.ok());
    for (const QString &v : *values)
        FUZZ_CHECK(!v.contains(QLatin1Char('\n')));
    FUZZ_CHECK(DataSets::write(path, *values).ok());
    const Result<QStringList> again = DataSets::read(path);
    FUZZ_CHECK(again.ok() && *again == *values);
    return 0;
}
