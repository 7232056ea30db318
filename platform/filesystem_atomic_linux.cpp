#include "platform/filesystem.h"
#include "platform/syserror_linux.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Platform {

namespace {
// "." + target name + "." + writer's process id + this suffix.
const QLatin1String kTempSuffix(".qlt-tmp");
// Keeps the temporary name within the file system's name limit.
constexpr qsizetype kMaxBaseLength = 120;

QString temporaryNameFor(const QString &fileName)
{
    // Cut in bytes, not characters: 120 letters of a script outside Latin-1
    // take up to 360 bytes, more than a file name may hold.
    QString base = fileName.left(kMaxBaseLength);
    while (fileNameBytes(base) > kMaxBaseLength)
        base.chop(base.size() > 1 && base.back().isLowSurrogate() ? 2 : 1);
    return QLatin1Char('.') + base + QLatin1Char('.') + QString::number(::getpid()) + kTempSuffix;
}

// The id of the process that wrote a temporary file, or 0.
pid_t writerOf(const QString &fileName)
{
    const QString stem = fileName.chopped(kTempSuffix.size());
    const qsizetype dot = stem.lastIndexOf(QLatin1Char('.'));
    bool ok = false;
    const qint64 pid = dot < 0 ? 0 : stem.mid(dot + 1).toLongLong(&ok);
    return ok && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

bool writerIsGone(pid_t pid)
{
    // Our own process writes one file at a time, so a leftover with our id
    // is from an earlier write that did not finish.
    return pid == 0 || pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH);
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Folders written to while a DeferredSync lives; one file system flush per
// folder at its commit.
int g_deferring = 0;
QSet<QByteArray> &pendingFolders()
{
    static QSet<QByteArray> folders;
    return folders;
}

// Folders swept while a DeferredSync lives: a batch sweeps each once, not
// once per copy, which beside thousands of files took most of its time.
QSet<QByteArray> &sweptFolders()
{
    static QSet<QByteArray> folders;
    return folders;
}

bool endsWith(const char *name, size_t length, const char *suffix, size_t suffixLength)
{
    return length >= suffixLength && std::memcmp(name + length - suffixLength, suffix, suffixLength) == 0;
}
} // namespace

Status syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure();
    Status synced;
    if (::fsync(fd) != 0)
        synced = systemFailure();
    ::close(fd);
    return synced;
}

DeferredSync::DeferredSync() { ++g_deferring; }

DeferredSync::~DeferredSync()
{
    (void)commit(); // a batch that wanted to know committed itself
    if (--g_deferring == 0)
        sweptFolders().clear();
}

Status DeferredSync::commit()
{
    Status synced;
    const QSet<QByteArray> folders = std::exchange(pendingFolders(), {});
    for (const QByteArray &folder : folders) {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 || ::syncfs(fd) != 0 || ::fsync(fd) != 0)
            synced = systemFailure();
        if (fd >= 0)
            ::close(fd);
    }
    return synced;
}

bool isOwnTemporaryFile(const QString &fileName)
{
    return fileName.startsWith(QLatin1Char('.')) && fileName.endsWith(kTempSuffix)
        && fileName.size() > kTempSuffix.size() + 1;
}

void removeStaleTemporaryFiles(const QString &folder)
{
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    DIR *dir = ::opendir(QFile::encodeName(base).constData());
    if (!dir)
        return;
    QStringList stale;
    while (const dirent *entry = ::readdir(dir)) {
        // Compared as bytes first: a batch's folder holds thousands of names.
        const size_t length = std::strlen(entry->d_name);
        if (entry->d_name[0] != '.' || !endsWith(entry->d_name, length, kTempSuffix.data(), size_t(kTempSuffix.size())))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (isOwnTemporaryFile(name) && writerIsGone(writerOf(name)))
            stale << base + name;
    }
    ::closedir(dir);
    for (const QString &path : stale)
        ::unlink(QFile::encodeName(path).constData());
}

Status writeFileAtomically(const QString &path, const QByteArray &bytes, int mode)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath() + QLatin1Char('/');
    // What a killed writer left: once per folder in a batch, else every time.
    const QByteArray folderName = QFile::encodeName(folder);
    if (g_deferring == 0 || !sweptFolders().contains(folderName)) {
        if (g_deferring > 0)
            sweptFolders().insert(folderName);
        removeStaleTemporaryFiles(folder);
    }

    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    const QByteArray tempName = QFile::encodeName(folder + temporaryNameFor(target.fileName()));
    ::unlink(tempName.constData());
    // An existing file keeps its permissions; a new one gets the usual ones.
    struct stat st {};
    const bool replacesFile = ::lstat(finalName.constData(), &st) == 0 && S_ISREG(st.st_mode);
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return systemFailure();
    const bool setMode = mode >= 0 || replacesFile;
    const mode_t newMode = mode >= 0 ? static_cast<mode_t>(mode) : st.st_mode & 07777;
    Status written;
    if (!writeAll(fd, bytes) || (setMode && ::fchmod(fd, newMode) != 0) || (g_deferring == 0 && ::fsync(fd) != 0))
        written = systemFailure();
    if (::close(fd) != 0 && written)
        written = systemFailure();
    if (!written) {
        ::unlink(tempName.constData());
        return written;
    }
    // rename() replaces whatever stands at the name, a symbolic link included.
    if (::rename(tempName.constData(), finalName.constData()) != 0) {
        written = systemFailure();
        ::unlink(tempName.constData());
        return written;
    }
    if (g_deferring > 0)
        pendingFolders().insert(folderName);
    else
        syncFolder(folderName);
    return {};
}

} // namespace Platform
