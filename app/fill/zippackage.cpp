#include "app/fill/zippackage.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QFile>
#include <QFileInfo>

namespace Zip {

namespace {
constexpr qint64 kChunk = 64 * 1024;

QString damaged() { return QStringLiteral("The document is damaged or not a zip package"); }
QString tooLarge() { return QStringLiteral("The document unpacks to more than it can hold"); }
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
    m_readSoFar = 0;
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("File not found"));
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(damaged());
    const QList<QuaZipFileInfo64> infos = zip.getFileInfoList64();
    if (zip.getZipError() != UNZ_OK || infos.isEmpty())
        return fail(damaged());
    for (const QuaZipFileInfo64 &info : infos) {
        if (info.isEncrypted())
            return fail(QStringLiteral("The document is encrypted"));
        m_names << info.name;
    }
    return true;
}

bool Package::read(const QString &name, QByteArray *bytes)
{
    bytes->clear();
    QuaZip zip(m_path);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(name, QuaZip::csSensitive))
        return fail(damaged());
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return fail(damaged());
    // The sizes in the directory may lie; the inflated bytes are counted.
    QByteArray out;
    char buffer[kChunk];
    for (;;) {
        const qint64 got = file.read(buffer, kChunk);
        if (got < 0)
            return fail(damaged());
        if (got == 0)
            break;
        if (out.size() + got > m_limits.entryBytes || m_readSoFar + got > m_limits.totalBytes)
            return fail(tooLarge());
        out.append(buffer, got);
        m_readSoFar += got;
    }
    file.close();
    // A wrong checksum shows a damaged or truncated entry.
    if (file.getZipError() != UNZ_OK)
        return fail(damaged());
    *bytes = std::move(out);
    return true;
}

bool Package::write(const QString &target, const QHash<QString, QByteArray> &replaced)
{
    // Written beside the target and renamed at the end, so a failure never
    // leaves a half-written document under the target's name.
    const QString part = target + QStringLiteral(".part");
    struct Cleanup {
        QString path;
        ~Cleanup() { QFile::remove(path); }
    } cleanup{part};
    QuaZip in(m_path);
    QuaZip out(part);
    if (!in.open(QuaZip::mdUnzip))
        return fail(damaged());
    if (!out.open(QuaZip::mdCreate))
        return fail(QStringLiteral("Path not found"));
    QStringList written;
    for (bool more = in.goToFirstFile(); more; more = in.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!in.getCurrentFileInfo(&info))
            return fail(damaged());
        QuaZipFile source(&in);
        QuaZipFile dest(&out);
        QuaZipNewInfo newInfo(info);
        const auto found = replaced.constFind(info.name);
        if (found != replaced.constEnd()) {
            newInfo.uncompressedSize = 0;
            if (!dest.open(QIODevice::WriteOnly, newInfo) || dest.write(*found) != found->size())
                return fail(QStringLiteral("Could not write ") + target);
        } else {
            // Untouched entries are copied compressed, byte for byte.
            int method = 0, level = 0;
            if (!source.open(QIODevice::ReadOnly, &method, &level, true))
                return fail(damaged());
            const QByteArray raw = source.readAll();
            source.close();
            newInfo.uncompressedSize = info.uncompressedSize;
            if (!dest.open(QIODevice::WriteOnly, newInfo, nullptr, info.crc, method, level, true)
                || dest.write(raw) != raw.size())
                return fail(QStringLiteral("Could not write ") + target);
        }
        dest.close();
        if (dest.getZipError() != ZIP_OK)
            return fail(QStringLiteral("Could not write ") + target);
        written << info.name;
    }
    for (auto it = replaced.constBegin(); it != replaced.constEnd(); ++it) {
        if (written.contains(it.key()))
            continue;
        QuaZipFile dest(&out);
        if (!dest.open(QIODevice::WriteOnly, QuaZipNewInfo(it.key())) || dest.write(*it) != it->size())
            return fail(QStringLiteral("Could not write ") + target);
        dest.close();
    }
    out.close();
    if (out.getZipError() != ZIP_OK)
        return fail(QStringLiteral("Could not write ") + target);
    QFile::remove(target);
    if (!QFile::rename(part, target))
        return fail(QStringLiteral("Could not write ") + target);
    return true;
}

} // namespace Zip
