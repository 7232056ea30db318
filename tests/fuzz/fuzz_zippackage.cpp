// The zip package: any bytes are opened and every entry read, under small
// limits so a zip bomb is refused quickly. A package that opens is written
// again with its first entry changed and one added; the copy must open,
// list the same entries, and give back every untouched entry unchanged.

#include "fuzzsupport.h"

#include "core/fill/zippackage.h"

#include <QHash>

namespace {
const Zip::Limits kLimits{qint64(4) << 20, qint64(16) << 20};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString source = Fuzz::writeScratch(QStringLiteral("In.zip"), reinterpret_cast<const char *>(data), size);
    Zip::Package package(kLimits);
    if (!package.open(source))
        return 0;
    const QStringList names = package.entryNames();
    QHash<QString, QByteArray> readable;
    for (const QString &name : names) {
        QByteArray bytes;
        if (package.read(name, &bytes) && !readable.contains(name))
            readable.insert(name, bytes);
    }

    // The first entry changed a little where it could be read (so that the
    // write reuses most of its compressed blocks), else replaced outright.
    QHash<QString, QByteArray> replaced;
    if (!names.isEmpty()) {
        QByteArray changed = readable.value(names.first());
        if (changed.isEmpty())
            changed = QByteArrayLiteral("<replaced/>");
        else
            changed.insert(changed.size() / 2, "<changed/>").append("<row/>");
        replaced.insert(names.first(), changed);
    }
    const QString added = QStringLiteral("fuzz/added.xml");
    if (!names.contains(added))
        replaced.insert(added, QByteArray(3000, 'a'));
    const QString target = Fuzz::scratchFolder() + QStringLiteral("Out.zip");
    if (!package.write(target, replaced))
        return 0;

    Zip::Package copy(kLimits);
    FUZZ_CHECK(copy.open(target));
    QStringList expectedNames = names;
    if (!names.contains(added))
        expectedNames << added;
    FUZZ_CHECK(copy.entryNames() == expectedNames);
    for (auto it = replaced.cbegin(); it != replaced.cend(); ++it) {
        QByteArray bytes;
        FUZZ_CHECK(copy.read(it.key(), &bytes) && bytes == it.value());
    }
    for (auto it = readable.cbegin(); it != readable.cend(); ++it) {
        if (replaced.contains(it.key()))
            continue;
        QByteArray bytes;
        FUZZ_CHECK(copy.read(it.key(), &bytes) && bytes == it.value());
    }
    return 0;
}
