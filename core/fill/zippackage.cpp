#include "core/fill/zippackage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <quazipnewinfo.h>

#include <zlib.h>

#include <algorithm>

namespace Zip {

namespace {

constexpr quint16 kEncryptedFlag = 0x0001;
constexpr quint16 kUtf8NameFlag = 0x0800;
constexpr qint64 kChunk = 64 * 1024;

QString megabytes(qint64 bytes)
{
    return QString::number(bytes >> 20) + QStringLiteral(" MB");
}

QString notAPackage(const QString &path)
{
    return QStringLiteral("The file ") + path + QStringLiteral(" is not a readable zip package (damaged or truncated)");
}

QString partOf(const QString &name, const QString &path, const char *what)
{
    return QStringLiteral("The part ") + name + QStringLiteral(" of ") + path + QLatin1Char(' ') + QLatin1String(what);
}

QString notWritten(const QString &name, const QString &target)
{
    return QStringLiteral("The part ") + name + QStringLiteral(" cannot be written to ") + target;
}

} // namespace

bool Package::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool Package::open(const QString &path)
{
    m_path = path;
    m_names.clear();
    m_read.clear();
    m_readSoFar = 0;
    m_error.clear();
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("The file ") + path + QStringLiteral(" does not exist"));
    // The zip reader reads the directory a few bytes at a time, and keeps
    // reading when a damaged directory points past the end of the file: from
    // a file on disk that is a system call each, and seconds for a small
    // file. From memory it is quick.
    QFile file(path);
    if (QFileInfo(path).size() > m_limits.totalBytes)
        return fail(QStringLiteral("The package ") + path + QStringLiteral(" is larger than ") +
                    megabytes(m_limits.totalBytes));
    if (!file.open(QIODevice::ReadOnly))
        return fail(notAPackage(path));
    m_bytes = file.readAll();
    QBuffer device(&m_bytes);
    QuaZip zip(&device);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(notAPackage(path));
    const QList<QuaZipFileInfo64> infos = zip.getFileInfoList64();
    if (zip.getZipError() != UNZ_OK)
        return fail(QStringLiteral("The directory of the zip package ") + path + QStringLiteral(" is damaged"));
    for (const QuaZipFileInfo64 &info : infos) {
        if (info.flags & kEncryptedFlag)
            return fail(QStringLiteral("The package ") + path + QStringLiteral(" is encrypted"));
        // A name with a NUL cannot be written again as it was: the copy
        // would hold the part under a shorter name.
        if (info.name.contains(QChar(0)))
            return fail(QStringLiteral("The directory of the zip package ") + path + QStringLiteral(" is damaged"));
        m_names.append(info.name);
    }
    return true;
}

bool Package::read(const QString &name, QByteArray *bytes)
{
    bytes->clear();
    QBuffer device(&m_bytes);
    QuaZip zip(&device);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(notAPackage(m_path));
    if (!zip.setCurrentFile(name, QuaZip::csSensitive))
        return fail(QStringLiteral("The package ") + m_path + QStringLiteral(" has no part ") + name);
    QuaZipFileInfo64 info;
    zip.getCurrentFileInfo(&info);
    const QString tooBig = partOf(name, m_path, "inflates past ") + megabytes(m_limits.entryBytes);
    if (qint64(info.uncompressedSize) > m_limits.entryBytes)
        return fail(tooBig);
    // The quick way, inflated at once with the block map a later write
    // reuses; whatever it does not take is read chunk by chunk below, which
    // also says what is wrong.
    if (info.method == Z_DEFLATED && m_readSoFar + qint64(info.uncompressedSize) <= m_limits.totalBytes) {
        QuaZipFile source(&zip);
        Deflate::Mapped mapped;
        if (source.open(QIODevice::ReadOnly, nullptr, nullptr, true)) {
            const QByteArray raw = source.readAll();
            source.close();
            if (raw.size() == qint64(info.compressedSize) &&
                Deflate::inflateMapped(raw, qint64(info.uncompressedSize), info.crc, &mapped)) {
                m_readSoFar += mapped.text.size();
                *bytes = mapped.text;
                m_read.insert(name, mapped);
                return true;
            }
        }
    }
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return fail(partOf(name, m_path, "cannot be read"));
    // The sizes in the headers are not trusted: the inflated bytes are
    // counted as they come.
    char chunk[kChunk];
    for (;;) {
        const qint64 got = file.read(chunk, kChunk);
        if (got < 0) {
            file.close();
            return fail(partOf(name, m_path, "is damaged"));
        }
        if (got == 0)
            break;
        if (bytes->size() + got > m_limits.entryBytes) {
            file.close();
            bytes->clear();
            return fail(tooBig);
        }
        if (m_readSoFar + got > m_limits.totalBytes) {
            file.close();
            bytes->clear();
            return fail(QStringLiteral("The package ") + m_path + QStringLiteral(" inflates past ") +
                        megabytes(m_limits.totalBytes));
        }
        m_readSoFar += got;
        bytes->append(chunk, got);
    }
    file.close();
    if (file.getZipError() != UNZ_OK || bytes->size() != qint64(info.uncompressedSize)) {
        bytes->clear();
        return fail(partOf(name, m_path, "is damaged"));
    }
    return true;
}

Status Package::readsBack(const QString &path, const QHash<QString, QByteArray> &expected)
{
    // Streamed, so that checking a large part never holds it whole.
    const auto failed = [](const QString &why) { return Failure{why}; };
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return failed(notAPackage(path));
    char chunk[kChunk];
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        const QString name = zip.getCurrentFileName();
        const auto wanted = expected.constFind(name);
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::ReadOnly))
            return failed(partOf(name, path, "cannot be read"));
        qint64 at = 0, got = 0;
        bool same = true;
        for (; (got = file.read(chunk, kChunk)) > 0; at += got)
            same = same && (wanted == expected.constEnd()
                            || QByteArrayView(*wanted).sliced(std::min<qint64>(at, wanted->size())).startsWith(
                                QByteArrayView(chunk, got)));
        file.close();
        if (got < 0 || file.getZipError() != UNZ_OK)
            return failed(partOf(name, path, "is damaged"));
        if (wanted != expected.constEnd() && (!same || at != wanted->size()))
            return failed(partOf(name, path, "does not hold what was written"));
    }
    if (zip.getZipError() != UNZ_OK)
        return failed(notAPackage(path));
    return {};
}

bool Package::write(const QString &target, const QHash<QString, QByteArray> &replaced)
{
    QString why;
    for (const bool reuse : {true, false}) {
        if (!writeOnce(target, replaced, reuse))
            return false;
        const Status read = readsBack(target, replaced);
        if (read)
            return true;
        why = read.error();
    }
    QFile::remove(target);
    return fail(QStringLiteral("The written package ") + target + QStringLiteral(" does not read back: ") + why);
}

bool Package::writeOnce(const QString &target, const QHash<QString, QByteArray> &replaced, bool reuse)
{
    QBuffer device(&m_bytes);
    QuaZip in(&device);
    if (!in.open(QuaZip::mdUnzip))
        return fail(notAPackage(m_path));
    const QList<QuaZipFileInfo64> infos = in.getFileInfoList64();
    QuaZip out(target);
    out.setDataDescriptorWritingEnabled(false);
    bool utf8 = false;
    for (const QuaZipFileInfo64 &info : infos)
        utf8 = utf8 || (info.flags & kUtf8NameFlag);
    out.setUtf8Enabled(utf8);
    if (!infos.isEmpty())
        out.setOsCode(infos.first().versionCreated >> 8);
    if (!out.open(QuaZip::mdCreate))
        return fail(QStringLiteral("The file ") + target + QStringLiteral(" cannot be written"));

    auto abandon = [&](const QString &message) {
        out.close();
        QFile::remove(target);
        return fail(message);
    };
    auto writeNew = [&](const QuaZipNewInfo &entry, const QByteArray &bytes, bool stored) {
        QuaZipFile file(&out);
        // The fastest level: a fill waits for it, and the next save by the
        // spreadsheet program compresses the part again anyway.
        if (!file.open(QIODevice::WriteOnly, entry, nullptr, 0, stored ? 0 : Z_DEFLATED, Z_BEST_SPEED))
            return false;
        const bool written = file.write(bytes) == bytes.size();
        file.close();
        return written && file.getZipError() == ZIP_OK;
    };
    // A changed version of an entry read before: most of its compressed
    // blocks are copied, only the changed stretches are compressed afresh.
    auto writeReusing = [&](QuaZipNewInfo entry, const Deflate::Mapped &old, const QByteArray &bytes) {
        quint32 crc = 0;
        const QByteArray raw = Deflate::deflateReusing(old, bytes, Z_BEST_SPEED, &crc);
        if (raw.isEmpty())
            return writeNew(entry, bytes, false);
        entry.uncompressedSize = ulong(bytes.size());
        QuaZipFile file(&out);
        if (!file.open(QIODevice::WriteOnly, entry, nullptr, crc, Z_DEFLATED, Z_BEST_SPEED, true))
            return false;
        const bool written = file.write(raw) == raw.size();
        file.close();
        return written && file.getZipError() == ZIP_OK;
    };

    QSet<QString> done;
    bool more = in.goToFirstFile();
    for (const QuaZipFileInfo64 &info : infos) {
        if (!more)
            return abandon(QStringLiteral("The directory of the zip package ") + m_path + QStringLiteral(" is damaged"));
        QuaZipNewInfo entry(info);
        const auto replacement = replaced.constFind(info.name);
        if (replacement != replaced.constEnd()) {
            entry.extraLocal.clear();
            const auto read = m_read.constFind(info.name);
            const bool written = reuse && read != m_read.constEnd() && info.method == Z_DEFLATED
                                     ? writeReusing(entry, *read, *replacement)
                                     : writeNew(entry, *replacement, info.method == 0);
            if (!written)
                return abandon(notWritten(info.name, target));
            done.insert(info.name);
        } else {
            QuaZipFile source(&in);
            int method = 0;
            int level = 0;
            if (!source.open(QIODevice::ReadOnly, &method, &level, true))
                return abandon(partOf(info.name, m_path, "cannot be read"));
            entry.extraLocal = source.getLocalExtraField();
            entry.uncompressedSize = ulong(info.uncompressedSize);
            const QByteArray raw = source.readAll();
            source.close();
            if (raw.size() != qint64(info.compressedSize))
                return abandon(partOf(info.name, m_path, "is damaged"));
            QuaZipFile copy(&out);
            if (!copy.open(QIODevice::WriteOnly, entry, nullptr, info.crc, method, level, true) ||
                copy.write(raw) != raw.size())
                return abandon(notWritten(info.name, target));
            copy.close();
            if (copy.getZipError() != ZIP_OK)
                return abandon(notWritten(info.name, target));
        }
        more = in.goToNextFile();
    }
    QStringList added = replaced.keys();
    added.sort();
    for (const QString &name : std::as_const(added)) {
        if (done.contains(name))
            continue;
        if (!writeNew(QuaZipNewInfo(name), replaced.value(name), false))
            return abandon(notWritten(name, target));
    }
    out.close();
    if (out.getZipError() != ZIP_OK) {
        QFile::remove(target);
        return fail(QStringLiteral("The file ") + target + QStringLiteral(" cannot be written"));
    }
    return true;
}

} // namespace Zip
