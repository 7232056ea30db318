#include "platform/officerun.h"

#include "platform/folders.h"
#include "platform/process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {

namespace {
// More offices than this at once on one account is no real use.
constexpr int kMaxProfiles = 64;
} // namespace

RunResult runToEnd(const QString &program, const QStringList &arguments, int timeoutMs)
{
    RunResult result;
    QProcess proc;
    proc.setProcessChannelMode(QProcess::MergedChannels);
    QEventLoop loop;
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&proc, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    proc.start(program, arguments);
    if (!proc.waitForStarted())
        return result;
    result.started = true;
    if (proc.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (proc.state() != QProcess::NotRunning) {
        proc.kill();
        proc.waitForFinished();
        return result;
    }
    result.finished = true;
    result.succeeded = proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
    result.output = QString::fromLocal8Bit(proc.readAll()).trimmed();
    return result;
}

QString officeProfileUrl(const QString &purpose)
{
    // Leased for this process's lifetime: the first profile of this purpose
    // whose lock no other process holds. Two offices on one profile hand
    // jobs to each other or fail, so fills running at the same time each
    // get their own, and a profile set up once is used again (its first
    // start is slow). The lock goes with the process, even a killed one,
    // and with the office it started, which inherits it.
    // Kept by folder too: a lease is only good while the cache folder it
    // lies in is the one in use.
    static QHash<QString, QString> leased;
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString root = (cache.isEmpty() ? homeDrive() + QStringLiteral(".cache") : cache) + QStringLiteral("/Quillmate/");
    if (const auto found = leased.constFind(root + purpose); found != leased.cend())
        return *found;
    QDir().mkpath(root);
    QString profile;
    for (int slot = 1; profile.isEmpty(); ++slot) {
        const QString name = slot == 1 ? purpose : purpose + QLatin1Char('-') + QString::number(slot);
        const int fd = ::open(QFile::encodeName(root + name + QStringLiteral(".lock")).constData(),
                              O_RDWR | O_CREAT, 0600);
        if (fd < 0 || slot > kMaxProfiles) {
            if (fd >= 0)
                ::close(fd);
            profile = root + name; // nowhere to note a lease: used unleased
        } else if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            profile = root + name; // the descriptor stays open: the lease
        } else {
            ::close(fd);
        }
    }
    QDir().mkpath(profile);
    return *leased.insert(root + purpose, QUrl::fromLocalFile(profile).toString());
}

QString officeProgram() { return findExecutable(QStringLiteral("soffice")); }

bool officeCanPrint()
{
    const QString soffice = officeProgram();
    if (soffice.isEmpty())
        return false;
    // The printing build ships the desktop plug-ins beside the program; the
    // GUI-less build has none.
    const QDir program = QFileInfo(QFileInfo(soffice).canonicalFilePath()).absoluteDir();
    return !program.entryList({QStringLiteral("libvclplug_gen*.so")}, QDir::Files).isEmpty();
}

} // namespace Platform
