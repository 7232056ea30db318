// The settings reader takes any bytes; what it reads is written and read
// back unchanged, and a written file has its 35 lines.

#include "fuzzsupport.h"

#include "core/model/settingsfile.h"
#include "core/model/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString appFolder = Fuzz::scratchFolder();
    Fuzz::writeScratch(QStringLiteral("qlt.ini"), reinterpret_cast<const char *>(data), size);
    const SettingsFile::Settings read = SettingsFile::read(appFolder);
    FUZZ_CHECK(!read.modelFolder.isEmpty());
    FUZZ_CHECK(SettingsFile::write(appFolder, read).ok());
    const SettingsFile::Settings again = SettingsFile::read(appFolder);
    FUZZ_CHECK(again.modelName == read.modelName);
    FUZZ_CHECK(again.modelFolder == read.modelFolder);
    const Result<QStringList> lines = TextFile::readLines(SettingsFile::settingsPath(appFolder));
    // A model name that itself holds a line break would add lines; the reader
    // never returns one.
    FUZZ_CHECK(lines.ok() && lines->size() == 35);
    return 0;
}
