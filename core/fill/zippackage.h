#pragma once

#include "core/fill/deflatereuse.h"
#include "core/result.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// A zip package (an OOXML or ODF document) read entry by entry and written
// again with only some entries replaced. Entries that are not replaced are
// copied in their compressed form, so their bytes stay exactly as they were,
// and the order of the entries is kept (ODF needs "mimetype" first, stored).
namespace Zip {

struct Limits {
    qint64 entryBytes = qint64(256) << 20; // one entry, inflated
    qint64 totalBytes = qint64(1) << 30;   // everything read from one package
};

class Package {
public:
    Package() = default;
    explicit Package(const Limits &limits) : m_limits(limits) {}

    // Reads the package's directory. False with errorString() set when the
    // file is missing, is no zip file, is truncated, or holds encrypted
    // entries.
    bool open(const QString &path);
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }

    QStringList entryNames() const { return m_names; }
    bool contains(const QString &name) const { return m_names.contains(name); }

    // The inflated bytes of one entry. False with errorString() set when the
    // entry is missing or damaged, or would inflate past the limits.
    bool read(const QString &name, QByteArray *bytes);

    // Writes the package to `target`: every entry of this package in its
    // order, those named in `replaced` with the new bytes, the others copied
    // raw. Names in `replaced` that the package lacks are added at the end.
    // Nothing is written in place of this package's own file.
    // The written package is read back before it counts: every entry must
    // inflate whole with its checksum, the replaced ones to their new bytes.
    // When a package written with reused compressed blocks does not, it is
    // written again with every replaced entry compressed afresh.
    bool write(const QString &target, const QHash<QString, QByteArray> &replaced);

    // Whether the package at `path` reads back whole (and the entries in
    // `expected` hold those bytes); the failure says what is wrong.
    static Status readsBack(const QString &path, const QHash<QString, QByteArray> &expected = {});

private:
    bool fail(const QString &message);
    bool writeOnce(const QString &target, const QHash<QString, QByteArray> &replaced, bool reuse);

    Limits m_limits;
    QString m_path;
    QByteArray m_bytes; // the package file as opened
    QString m_error;
    QStringList m_names;
    qint64 m_readSoFar = 0;
    // The deflated entries read so far, which a write of a changed version
    // partly reuses.
    QHash<QString, Deflate::Mapped> m_read;
};

} // namespace Zip
