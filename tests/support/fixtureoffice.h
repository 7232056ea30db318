#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>
#include <QtDebug>

#include <optional>

// Conversions through the office the test run keeps for its fixtures
// (tests/support/convert-office.sh), instead of one office start each.
namespace FixtureOffice {

// true when every file was converted into outDir as `soffice --convert-to
// format` would; nullopt when that office is not there or could not do it.
inline std::optional<bool> throughRunOffice(const QStringList &files, const QString &format, const QString &outDir)
{
#if defined(QLT_CONVERT_TOOL) && defined(QLT_CONVERT_OFFICE_DIR)
    QFile pipeFile(QStringLiteral(QLT_CONVERT_OFFICE_DIR "pipe"));
    if (!pipeFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString pipe = QString::fromUtf8(pipeFile.readAll()).trimmed();
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral(QLT_CONVERT_TOOL), QStringList{pipe, format, outDir} + files);
    const bool finished = tool.waitForFinished(120000);
    if (finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return true;
    if (!finished) {
        tool.kill();
        tool.waitForFinished();
    }
    qWarning() << "The fixture office did not convert" << files << "to" << format << "- starting an office";
#else
    Q_UNUSED(files)
    Q_UNUSED(format)
    Q_UNUSED(outDir)
#endif
    return std::nullopt;
}

// `soffice --convert-to format --outdir outDir files`, through the run's
// office when there is one, else by an office started on profileFolder. A
// profile must not be shared with another test process: a second office on
// a profile in use hands its work to the first, which may be just ending,
// and the conversion is lost. false when the office failed; it answers 0
// for a file it could not convert, so callers check the files they need.
inline bool convert(const QStringList &files, const QString &format, const QString &outDir,
                    const QString &profileFolder)
{
    QDir().mkpath(outDir);
    if (const auto done = throughRunOffice(files, format, outDir))
        return *done;
    QProcess office;
    office.start(QStringLiteral("soffice"),
                 QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                             QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileFolder).toString(),
                             QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir}
                     + files);
    return office.waitForFinished(300000) && office.exitStatus() == QProcess::NormalExit && office.exitCode() == 0;
}

} // namespace FixtureOffice
