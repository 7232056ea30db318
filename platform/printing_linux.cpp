#include "platform/printing.h"

#include "platform/officerun.h"
#include "platform/process.h"

#include <QDir>
#include <QFileInfo>

namespace Platform {

namespace {
constexpr int kPrintTimeoutMs = 180000;

QString runPrint(const QString &program, const QStringList &arguments)
{
    const RunResult run = runToEnd(program, arguments, kPrintTimeoutMs);
    if (!run.started)
        return QStringLiteral("Unable to start ") + program;
    if (!run.finished)
        return program + QStringLiteral(" did not finish printing");
    if (!run.succeeded)
        return program + QStringLiteral(" could not print") + (run.output.isEmpty() ? QString() : QStringLiteral(": ") + run.output);
    return QString();
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
        return runPrint(lp, {QStringLiteral("-s"), QStringLiteral("--"), path});
    }
    if (!officeCanPrint())
        return QStringLiteral("No office program that can print is installed");
    return runPrint(officeProgram(), {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                      QStringLiteral("--nologo"), QStringLiteral("--nolockcheck"),
                                      QStringLiteral("-env:UserInstallation=")
                                          + officeProfileUrl(QStringLiteral("office-print-profile")),
                                      QStringLiteral("-p"), path});
}

} // namespace Platform
