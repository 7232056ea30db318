#include "platform/officerun.h"

#include "platform/folders.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace Platform {

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
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString root = cache.isEmpty() ? homeDrive() + QStringLiteral(".cache") : cache;
    const QString profile = root + QStringLiteral("/Quillmate/") + purpose;
    QDir().mkpath(profile);
    return QUrl::fromLocalFile(profile).toString();
}

} // namespace Platform
