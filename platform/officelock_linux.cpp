#include "platform/officelock.h"

#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

// Excel's owner file "~$" + name: the user's name after a byte that gives
// its length, in the system's 8-bit code page; after it, at byte 54, the
// same name again as UTF-16 after a 16-bit length.
QString ownerFileUser(const QString &ownerFile)
{
    QFile file(ownerFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.read(512);
    const int length = bytes.isEmpty() ? 0 : uchar(bytes[0]);
    constexpr int kWide = 54;
    if (bytes.size() >= kWide + 2 && uchar(bytes[kWide]) + 256 * uchar(bytes[kWide + 1]) == length
        && bytes.size() >= kWide + 2 + 2 * length && length > 0) {
        QString wide;
        for (int i = 0; i < length; ++i)
            wide += QChar(ushort(uchar(bytes[kWide + 2 + 2 * i]) | uchar(bytes[kWide + 3 + 2 * i]) << 8));
        return wide.trimmed();
    }
    return decodeWindows1252(bytes.mid(1, length)).trimmed();
}

QString lockedBy(const QString &lockFile, const QString &holder)
{
    return QStringLiteral("The workbook is open in an office (lock file ") + lockFile
        + (holder.isEmpty() ? QString() : QStringLiteral(", ") + holder) + QLatin1Char(')');
}

// The names in a folder, unsorted; none when it cannot be read.
QStringList entries(const QString &folder)
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *e = ::readdir(dir))
        if (e->d_name[0] != '.')
            names << QFile::decodeName(e->d_name);
    ::closedir(dir);
    return names;
}

// Another process that holds a POSIX lock on the file, or has it open for
// writing as an office has the document it edits: its id, or 0. A lock of
// an open file description names no process: -1.
pid_t holdingProcess(const QString &path)
{
    struct stat file {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &file) != 0)
        return 0;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct flock query {};
        query.l_type = F_WRLCK;
        query.l_whence = SEEK_SET; // l_start and l_len 0: the whole file
        const bool asked = ::fcntl(fd, F_GETLK, &query) == 0;
        ::close(fd);
        if (asked && query.l_type != F_UNLCK)
            return query.l_pid > 0 ? query.l_pid : -1;
    }
    const QString self = QString::number(::getpid());
    for (const QString &pid : entries(QStringLiteral("/proc/"))) {
        if (pid == self || pid.toInt() <= 0)
            continue;
        // Only the processes we may look into: the user's own, where an office runs.
        const QString fds = QStringLiteral("/proc/") + pid + QStringLiteral("/fd/");
        for (const QString &entry : entries(fds)) {
            struct stat open {};
            if (::stat(QFile::encodeName(fds + entry).constData(), &open) != 0 || open.st_ino != file.st_ino
                || open.st_dev != file.st_dev)
                continue;
            QFile info(QStringLiteral("/proc/") + pid + QStringLiteral("/fdinfo/") + entry);
            if (!info.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &line : info.readAll().split('\n'))
                if (line.startsWith("flags:") && (line.mid(6).trimmed().toInt(nullptr, 8) & O_ACCMODE) != O_RDONLY)
                    return pid.toInt();
        }
    }
    return 0;
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
    if (QFileInfo(lockFile).isFile())
        return lockedBy(lockFile, lockFileHolder(lockFile));
    const QString ownerFile = info.absolutePath() + QStringLiteral("/~$") + info.fileName();
    if (QFileInfo(ownerFile).isFile())
        return lockedBy(ownerFile, ownerFileUser(ownerFile));
    if (const pid_t pid = holdingProcess(path)) {
        const QString name = pid > 0 ? processName(pid) : QString();
        return QStringLiteral("The workbook is held open by ")
            + (name.isEmpty() ? QStringLiteral("another program") : name)
            + (pid > 0 ? QStringLiteral(" (process %1)").arg(pid) : QString());
    }
    return QString();
}

} // namespace Platform
