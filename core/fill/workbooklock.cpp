#include "core/fill/workbooklock.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

namespace SheetFill {

QString lockPathFor(const QString &workbookPath)
{
    // One lock file for every way of naming the workbook (a link to it).
    const QString canonical = QFileInfo(workbookPath).canonicalFilePath();
    const QFileInfo info(canonical.isEmpty() ? workbookPath : canonical);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".qlt-lock");
}

Result<std::unique_ptr<Platform::FileLock>> lockWorkbook(const QString &path, RunContext &run)
{
    const QString lockPath = lockPathFor(path);
    const QByteArray me = Platform::thisProcessDescription();
    auto lock = std::make_unique<Platform::FileLock>();
    const QDeadlineTimer deadline(run.lockWaitMs);
    bool waited = false;
    for (;;) {
        const Result<Platform::FileLock::Outcome> tried = lock->tryLock(lockPath, me);
        if (!tried)
            return Failure{QStringLiteral("The workbook cannot be locked (") + lockPath + QStringLiteral(": ")
                           + tried.error() + QLatin1Char(')')};
        if (*tried == Platform::FileLock::Outcome::Taken) {
            if (waited)
                run.showWait(QStringLiteral("Modifying ") + QFileInfo(path).fileName());
            return lock;
        }
        if (deadline.hasExpired()) {
            const QString holder = QString::fromUtf8(Platform::FileLock::holderOf(lockPath));
            return Failure{QStringLiteral("The workbook is being filled by ")
                           + (holder.isEmpty() ? QStringLiteral("another Quillmate") : holder)};
        }
        // The caption again each time lets the window repaint meanwhile.
        run.showWait(QStringLiteral("Waiting for ") + QFileInfo(path).fileName());
        waited = true;
        QThread::msleep(50);
    }
}

} // namespace SheetFill
