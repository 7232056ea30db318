#include "platform/officeconvert.h"

#include "platform/folders.h"
#include "platform/printing.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

namespace Platform {

namespace {
constexpr int kExportTimeoutMs = 180000;

QString exportProfileUrl()
{
    // A profile of our own: an office the user has open must not take the
    // job (it would answer before exporting), nor share the print profile.
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString root = cache.isEmpty() ? homeDrive() + QStringLiteral(".cache") : cache;
    const QString profile = root + QStringLiteral("/Quillmate/office-export-profile");
    QDir().mkpath(profile);
    return QUrl::fromLocalFile(profile).toString();
}
} // namespace

QString exportPdf(const QString &documentPath, const QString &pdfPath)
{
    const QString office = officeProgram();
    if (office.isEmpty())
        return QStringLiteral("No office program is installed to make the PDF copy");
    QTemporaryDir outDir;
    if (!outDir.isValid())
        return QStringLiteral("Could not make a folder for the PDF copy");
    QProcess proc;
    proc.setProcessChannelMode(QProcess::MergedChannels);
    QEventLoop loop;
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&proc, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kExportTimeoutMs, &loop, &QEventLoop::quit);
    proc.start(office, {QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                        QStringLiteral("--nolockcheck"), QStringLiteral("-env:UserInstallation=") + exportProfileUrl(),
                        QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                        outDir.path(), documentPath});
    if (!proc.waitForStarted())
        return QStringLiteral("Unable to start ") + office;
    // The windows keep painting while the office works.
    if (proc.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (proc.state() != QProcess::NotRunning) {
        proc.kill();
        proc.waitForFinished();
        return QStringLiteral("The office did not finish the PDF copy");
    }
    // The office answers 0 even when it could not read the document: only
    // the file tells.
    const QString made = outDir.path() + QLatin1Char('/') + QFileInfo(documentPath).completeBaseName()
        + QStringLiteral(".pdf");
    if (!QFileInfo(made).isFile() || QFileInfo(made).size() == 0)
        return QStringLiteral("The office could not make a PDF copy of ") + QFileInfo(documentPath).fileName();
    QFile::remove(pdfPath);
    if (!QFile::copy(made, pdfPath))
        return QStringLiteral("Could not write ") + pdfPath;
    return QString();
}

} // namespace Platform
