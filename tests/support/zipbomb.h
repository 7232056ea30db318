#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>
#include <zlib.h>

// Zip packages with one entry that inflates to hundreds of megabytes, made
// in a fraction of the time deflating that much would take: one megabyte
// of blanks is deflated once, ending in a full flush, which closes its
// blocks on a byte boundary and forgets the window, so copies of those bytes
// one after another are a valid deflate stream of the blanks repeated.
namespace ZipBomb {

namespace Detail {
constexpr int kChunk = 1 << 20;

// The chunk deflated and flushed, not final.
inline QByteArray flushedChunk()
{
    const QByteArray blanks(kChunk, ' ');
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, kChunk)) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(blanks.constData()));
    stream.avail_in = kChunk;
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FULL_FLUSH);
    out.truncate(out.size() - int(stream.avail_out));
    deflateEnd(&stream);
    return out;
}

// Every entry of a package as it is stored, with what a raw copy needs.
struct Stored {
    QuaZipFileInfo64 info;
    int method = 0;
    QByteArray bytes;
};

inline bool readStored(const QString &path, QList<Stored> *entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return false;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile file(&zip);
        Stored entry;
        int level = 0;
        if (!file.getFileInfo(&entry.info) || !file.open(QIODevice::ReadOnly, &entry.method, &level, true))
            return false;
        entry.bytes = file.readAll();
        file.close();
        entries->append(entry);
    }
    return zip.getZipError() == UNZ_OK;
}

inline bool writeRaw(QuaZip &zip, const QString &name, const QByteArray &bytes, qint64 size, quint32 crc, int method)
{
    QuaZipNewInfo info(name);
    info.uncompressedSize = ulong(size);
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::WriteOnly, info, nullptr, crc, method, Z_DEFAULT_COMPRESSION, true))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.getZipError() == ZIP_OK;
}
} // namespace Detail

// Writes the package `to`: every entry of `from` as it is stored there (no
// entry when `from` is empty), with `entry` replaced by, or added as,
// `megabytes` megabytes of blanks.
inline bool write(const QString &to, const QString &entry, int megabytes, const QString &from = QString())
{
    QList<Detail::Stored> entries;
    if (!from.isEmpty() && !Detail::readStored(from, &entries))
        return false;
    const QByteArray chunk = Detail::flushedChunk();
    QByteArray stream = chunk.repeated(megabytes);
    stream.append("\x03\x00", 2); // an empty final block with fixed codes
    const QByteArray blanks(Detail::kChunk, ' ');
    const uLong chunkCrc = crc32(0, reinterpret_cast<const Bytef *>(blanks.constData()), Detail::kChunk);
    uLong crc = 0;
    for (int i = 0; i < megabytes; ++i)
        crc = crc32_combine(crc, chunkCrc, Detail::kChunk);

    QuaZip zip(to);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    bool written = false;
    bool ok = true;
    for (const Detail::Stored &stored : entries) {
        if (stored.info.name == entry && !written) {
            ok = ok && Detail::writeRaw(zip, entry, stream, qint64(megabytes) * Detail::kChunk, quint32(crc), Z_DEFLATED);
            written = true;
        } else if (stored.info.name != entry) {
            ok = ok && Detail::writeRaw(zip, stored.info.name, stored.bytes, qint64(stored.info.uncompressedSize),
                                        stored.info.crc, stored.method);
        }
    }
    if (!written)
        ok = ok && Detail::writeRaw(zip, entry, stream, qint64(megabytes) * Detail::kChunk, quint32(crc), Z_DEFLATED);
    zip.close();
    return ok && zip.getZipError() == ZIP_OK;
}

} // namespace ZipBomb
