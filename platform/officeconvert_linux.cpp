#include "platform/officeconvert.h"

#include "platform/filesystem.h"
#include "platform/officerun.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace Platform {

namespace {
constexpr int kExportTimeoutMs = 180000;
} // namespace

Status exportPdf(const QString &documentPath, const QString &pdfPath)
{
    const QString office = officeProgram();
    if (office.isEmpty())
        return Failure{QStringLiteral("No office program is installed to make the PDF copy")};
    QTemporaryDir outDir;
    if (!outDir.isValid())
        return Failure{QStringLiteral("Could not make a folder for the PDF copy")};
    // Not the print profile: an export and a print may run one after the other.
    const RunResult run = runToEnd(
        office,
        {QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
         QStringLiteral("--nolockcheck"),
         QStringLiteral("-env:UserInstallation=") + officeProfileUrl(QStringLiteral("office-export-profile")),
         QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"), outDir.path(), documentPath},
        kExportTimeoutMs);
    if (!run.started)
        return Failure{QStringLiteral("Unable to start ") + office};
    if (!run.finished)
        return Failure{QStringLiteral("The office did not finish the PDF copy")};
    // The office answers 0 even when it could not read the document: only
    // the file tells.
    const QString made = outDir.path() + QLatin1Char('/') + QFileInfo(documentPath).completeBaseName()
        + QStringLiteral(".pdf");
    return placePdf(made, documentPath, pdfPath);
}

Status placePdf(const QString &made, const QString &documentPath, const QString &pdfPath)
{
    if (!QFileInfo(made).isFile() || QFileInfo(made).size() == 0)
        return Failure{QStringLiteral("The office could not make a PDF copy of ") + QFileInfo(documentPath).fileName()};
    // Renamed over the name: a link standing there is replaced, never
    // written through, and two fills saving one name leave one whole copy.
    QFile in(made);
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    if (bytes.isEmpty())
        return Failure{QStringLiteral("Could not write ") + pdfPath};
    if (Status written = writeFileAtomically(pdfPath, bytes); !written)
        return Failure{QStringLiteral("Could not write ") + pdfPath + QStringLiteral(": ") + written.error()};
    return {};
}

} // namespace Platform
