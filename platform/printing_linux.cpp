#include "platform/printing.h"

#include "platform/folders.h"
#include "platform/process.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace Platform {

namespace {
constexpr int kPrintTimeoutMs = 180000;

// Runs a program to its end while the event loop keeps the windows painted.
QString runToEnd(const QString &program, const QStringList &arguments)
{
    QProcess proc;
    proc.setProcessChannelMode(QProcess::MergedChannels);
    QEventLoop loop;
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&proc, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kPrintTimeoutMs, &loop, &QEventLoop::quit);
    proc.start(program, arguments);
    if (!proc.waitForStarted())
        return QStringLiteral("Unable to start ") + program;
    if (proc.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (proc.state() != QProcess::NotRunning) {
        proc.kill();
        proc.waitForFinished();
        return program + QStringLiteral(" did not finish printing");
    }
    if (proc.exitStatus() != QProcess::NormalExit || proc.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(proc.readAll()).trimmed();
        return program + QStringLiteral(" could not print") + (output.isEmpty() ? QString() : QStringLiteral(": ") + output);
    }
    return QString();
}

QString officeProfileUrl()
{
    // A profile of our own, so the print job is never handed to an office
    // the user already has open (which would answer before printing).
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString root = cache.isEmpty() ? homeDrive() + QStringLiteral(".cache") : cache;
    const QString profile = root + QStringLiteral("/Quillmate/office-print-profile");
    QDir().mkpath(profile);
    return QUrl::fromLocalFile(profile).toString();
}
} // namespace

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

QString printFile(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QStringLiteral("txt") || extension == QStringLiteral("pdf")) {
        const QString lp = findExecutable(QStringLiteral("lp"));
        if (lp.isEmpty())
            return QStringLiteral("No print command (lp) is installed");
        return runToEnd(lp, {QStringLiteral("-s"), QStringLiteral("--"), path});
    }
    if (!officeCanPrint())
        return QStringLiteral("No office program that can print is installed");
    return runToEnd(officeProgram(), {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                      QStringLiteral("--nologo"), QStringLiteral("--nolockcheck"),
                                      QStringLiteral("-env:UserInstallation=") + officeProfileUrl(),
                                      QStringLiteral("-p"), path});
}

} // namespace Platform
