#include "platform/filelock.h"
#include "platform/syserror_linux.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {
// Open-file-description locks: unlike classic POSIX locks they belong to
// the open file, so reading the lock file elsewhere in this process never
// drops them, and a second lock in this process waits like another's.
bool lockWhole(int fd)
{
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
}
} // namespace

Result<FileLock::Outcome> FileLock::tryLock(const QString &lockPath, const QByteArray &holder)
{
    unlock();
    const QByteArray path = QFile::encodeName(lockPath);
    // A holder removes the file as it lets go: a lock taken on a file that
    // is no longer at the path is let go and tried again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0)
            return systemFailure();
        if (!lockWhole(fd)) {
            const bool busy = errno == EAGAIN || errno == EACCES;
            const Failure why = systemFailure();
            ::close(fd);
            if (busy)
                return Outcome::Busy;
            return why;
        }
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 && opened.st_ino == named.st_ino
            && opened.st_dev == named.st_dev) {
            m_fd = fd;
            m_path = path;
            if (::ftruncate(fd, 0) == 0)
                (void)!::pwrite(fd, holder.constData(), size_t(holder.size()), 0);
            return Outcome::Taken;
        }
        ::close(fd);
    }
    errno = EAGAIN;
    return systemFailure();
}

void FileLock::unlock()
{
    if (m_fd < 0)
        return;
    ::unlink(m_path.constData());
    ::close(m_fd);
    m_fd = -1;
}

QByteArray FileLock::holderOf(const QString &lockPath)
{
    QFile file(lockPath);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(1024).trimmed();
}

QByteArray thisProcessDescription()
{
    const passwd *user = ::getpwuid(::getuid());
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return QByteArray(user ? user->pw_name : "?") + " on " + host + " (process " + QByteArray::number(::getpid())
        + ")";
}

} // namespace Platform
