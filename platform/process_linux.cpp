#include "platform/process.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace Platform {

namespace {
StartHook &hook()
{
    static StartHook h;
    return h;
}
} // namespace

void setStartHook(StartHook h) { hook() = std::move(h); }

bool startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder)
{
    if (hook())
        return hook()(program, arguments);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments, workingFolder);
}

void tieToThisProcess(QProcess &process)
{
    process.setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
}

void killProcessGroup(qint64 processId)
{
    if (processId > 0)
        ::kill(-static_cast<pid_t>(processId), SIGKILL);
}

void surviveBrokenPipes()
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

QString findExecutable(const QString &name) { return QStandardPaths::findExecutable(name); }

QString findAssociatedProgram(const QString &filePath)
{
    // The desktop's opener stands for the shell's file association: it hands
    // the file to whatever program the user chose for its type.
    if (!QFileInfo(filePath).isFile())
        return QString();
    return findExecutable(QStringLiteral("xdg-open"));
}

bool openWithAssociatedProgram(const QString &fileOrUrl)
{
    const QString opener = hook() ? QStringLiteral("xdg-open") : findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    return startDetached(opener, {fileOrUrl});
}

} // namespace Platform
