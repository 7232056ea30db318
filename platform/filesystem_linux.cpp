#include "platform/filesystem.h"
#include "platform/syserror_linux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {
// The system call's answer as a Status.
Status checked(bool succeeded)
{
    if (succeeded)
        return {};
    return systemFailure();
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

Result<CopyOutcome> copyFile(const QString &from, const QString &to)
{
    if (sameFile(from, to))
        return CopyOutcome::SameFile;
    QFile in(from);
    struct stat st {};
    if (::stat(QFile::encodeName(from).constData(), &st) != 0)
        return systemFailure();
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return systemFailure();
    }
    if (!in.open(QIODevice::ReadOnly))
        return Failure{in.errorString()};
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return Failure{in.errorString()};
    if (Status written = writeFileAtomically(to, bytes, static_cast<int>(st.st_mode & 07777)); !written)
        return written.failure();
    return CopyOutcome::Copied;
}

// NAME_MAX of Linux's file systems (ext4, btrfs, xfs, tmpfs): 255 bytes.
int maxFileNameBytes() { return 255; }

qsizetype fileNameBytes(const QString &name) { return QFile::encodeName(name).size(); }

Status deleteFile(const QString &path)
{
    return checked(::unlink(QFile::encodeName(path).constData()) == 0);
}

Status clearAttributes(const QString &path)
{
    struct stat st {};
    const QByteArray p = QFile::encodeName(path);
    if (::lstat(p.constData(), &st) != 0)
        return systemFailure();
    if (S_ISLNK(st.st_mode))
        return {}; // a link has no permissions of its own
    return checked(::chmod(p.constData(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR) == 0);
}

Status removeFolder(const QString &path)
{
    return checked(::rmdir(QFile::encodeName(path).constData()) == 0);
}

Status makeFolder(const QString &path)
{
    if (QDir().mkpath(path))
        return {};
    // Ask once more to learn why it failed.
    return checked(::mkdir(QFile::encodeName(path).constData(), 0777) == 0);
}

Status changeFolder(const QString &path)
{
    return checked(::chdir(QFile::encodeName(path).constData()) == 0);
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
