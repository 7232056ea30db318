#include "platform/officelock.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace Platform {

namespace {
// LibreOffice writes one line: formatted user name, login name, host,
// time, profile URL, each after a comma, ending with ";". A backslash
// escapes a comma or semicolon inside a field.
QStringList lockFileFields(const QByteArray &bytes)
{
    QStringList fields{QString()};
    const QString text = QString::fromUtf8(bytes).trimmed();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size())
            fields.last() += text[++i];
        else if (c == QLatin1Char(','))
            fields << QString();
        else if (c == QLatin1Char(';'))
            break;
        else
            fields.last() += c;
    }
    return fields;
}

QString lockFileHolder(const QString &lockFile)
{
    QFile file(lockFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QStringList f = lockFileFields(file.read(4096));
    const QString user = !f.value(0).isEmpty() ? f.value(0) : f.value(1);
    QString holder = user;
    if (!f.value(2).isEmpty())
        holder += QStringLiteral(" on ") + f.value(2);
    if (!f.value(3).isEmpty())
        holder += QStringLiteral(" since ") + f.value(3);
    return holder.trimmed();
}

// Whether another process holds a POSIX lock on the file, as LibreOffice
// does on a document it edits; `pid` is that process where known.
bool lockedByOther(const QString &path, pid_t *pid)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = 0; // the whole file
    const bool asked = ::fcntl(fd, F_GETLK, &query) == 0;
    ::close(fd);
    *pid = query.l_pid; // not positive for a lock of an open file description
    return asked && query.l_type != F_UNLCK;
}

QString processName(pid_t pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}
} // namespace

QString officeLock(const QString &path)
{
    const QFileInfo info(path);
    const QString lockFile = info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#');
    if (QFileInfo(lockFile).isFile()) {
        const QString holder = lockFileHolder(lockFile);
        return QStringLiteral("The workbook is open in an office (lock file ") + lockFile
            + (holder.isEmpty() ? QString() : QStringLiteral(", ") + holder) + QLatin1Char(')');
    }
    pid_t pid = 0;
    if (lockedByOther(path, &pid)) {
        const QString name = pid > 0 ? processName(pid) : QString();
        return QStringLiteral("The workbook is held open by ")
            + (name.isEmpty() ? QStringLiteral("another program") : name)
            + (pid > 0 ? QStringLiteral(" (process %1 has locked it)").arg(pid) : QStringLiteral(", which has locked it"));
    }
    return QString();
}

} // namespace Platform
