#pragma once

// Shared by the fuzz targets: a scratch folder for readers that take a
// path, and a check that turns a broken property into a crash libFuzzer
// reports and keeps the input of.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

// One folder per process, removed when the process ends normally. The
// writers sync to disk, so a memory-backed folder keeps the fuzzers fast.
inline QString scratchFolder()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/qltfuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/qltfuzz-XXXXXX"));
    return dir.path() + QLatin1Char('/');
}

inline QString writeScratch(const QString &name, const char *data, size_t size)
{
    const QString path = scratchFolder() + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(data, static_cast<qint64>(size)) != static_cast<qint64>(size)) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

// Properties of XML readers hold for well-formed input only.
inline bool wellFormedXml(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

} // namespace Fuzz

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                    \
        if (!(condition))                                                                                   \
            Fuzz::fail(#condition);                                                                         \
    } while (false)
