// The model file reader takes any bytes; a model it reads whole is written
// and read back to the same lists.

#include "fuzzsupport.h"

#include "core/model/modelfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::writeScratch(QStringLiteral("Fuzz.mod"), reinterpret_cast<const char *>(data), size);
    const Result<ModelLists> model = ModelFile::read(path);
    if (!model) {
        FUZZ_CHECK(!model.error().isEmpty());
        return 0;
    }
    FUZZ_CHECK(model->SheetNumbers.size() == model->SheetPaths.size());
    FUZZ_CHECK(ModelFile::write(path, *model).ok());
    const Result<ModelLists> again = ModelFile::read(path);
    FUZZ_CHECK(again.ok() && *again == *model);
    return 0;
}
