#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QtDebug>

#include <optional>

// Conversions through the office the test run keeps for its fixtures
// (tests/support/convert-office.sh), instead of one office start each.
namespace FixtureOffice {

// true when every file was converted into outDir as `soffice --convert-to
// format` would; nullopt when that office is not there or could not do it,
// and the caller starts an office of its own.
inline std::optional<bool> convert(const QStringList &files, const QString &format, const QString &outDir)
{
#if defined(QLT_CONVERT_TOOL) && defined(QLT_CONVERT_OFFICE_DIR)
    QFile pipeFile(QStringLiteral(QLT_CONVERT_OFFICE_DIR "pipe"));
    if (!pipeFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString pipe = QString::fromUtf8(pipeFile.readAll()).trimmed();
    QDir().mkpath(outDir);
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

} // namespace FixtureOffice
