#include "platform/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {
bool fail(QString *error)
{
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}
bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// A new file beside `path`, filled by `fill`, then renamed over `path`.
// rename() replaces whatever stands at the name, a link included, without
// following it.
template <typename Fill>
bool writeBeside(const QString &path, mode_t mode, QString *error, Fill fill)
{
    const QFileInfo target(path);
    QByteArray temp = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                        + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail(error);
    bool ok = fill(fd) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    if (!ok)
        fail(error);
    if (::close(fd) != 0 && ok)
        ok = fail(error);
    if (ok && ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        ok = fail(error);
    if (!ok) {
        const int saved = errno;
        ::unlink(temp.constData());
        errno = saved;
    }
    return ok;
}
} // namespace

bool isSymLink(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

CopyResult copyFile(const QString &from, const QString &to, QString *error)
{
    if (sameFile(from, to))
        return CopyResult::SameFile;
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        fail(error);
        return CopyResult::Failed;
    }
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            errno = EISDIR;
        fail(error);
        ::close(in);
        return CopyResult::Failed;
    }
    const bool ok = writeBeside(to, st.st_mode & 07777, error, [in](int out) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return false;
            if (n == 0)
                return true;
            if (!writeAll(out, buffer, n))
                return false;
        }
    });
    ::close(in);
    return ok ? CopyResult::Copied : CopyResult::Failed;
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeBeside(path, 0644, error, [&bytes](int out) { return writeAll(out, bytes.constData(), bytes.size()); });
}

bool deleteFile(const QString &path, QString *error)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0 || fail(error);
}

bool clearAttributes(const QString &path, QString *error)
{
    struct stat st {};
    const QByteArray p = QFile::encodeName(path);
    if (::lstat(p.constData(), &st) != 0)
        return fail(error);
    if (S_ISLNK(st.st_mode))
        return true; // a link has no permissions of its own
    return ::chmod(p.constData(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR) == 0 || fail(error);
}

bool removeFolder(const QString &path, QString *error)
{
    return ::rmdir(QFile::encodeName(path).constData()) == 0 || fail(error);
}

bool makeFolder(const QString &path, QString *error)
{
    if (QDir().mkpath(path))
        return true;
    // Ask once more to learn why it failed.
    return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0 || fail(error);
}

bool changeFolder(const QString &path, QString *error)
{
    return ::chdir(QFile::encodeName(path).constData()) == 0 || fail(error);
}

bool listSubfolders(const QString &folder, QStringList &subfolders)
{
    subfolders.clear();
    const QByteArray f = QFile::encodeName(folder);
    DIR *dir = ::opendir(f.constData());
    if (!dir)
        return false;
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        const QString full = base + QFile::decodeName(name);
        struct stat st {};
        // lstat: a link to a folder is not a folder here, so no walk can loop.
        if (::lstat(QFile::encodeName(full).constData(), &st) == 0 && S_ISDIR(st.st_mode))
            subfolders << full;
    }
    ::closedir(dir);
    subfolders.sort();
    return true;
}

QStringList plainFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

bool makeExecutable(const QString &path)
{
    return QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup
                                           | QFile::ExeOther | QFile::ReadOwner);
}

} // namespace Platform
