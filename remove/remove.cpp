#include "remove/remove.h"

#include "platform/shortcuts.h"
#include "platform/filesystem.h"
#include "installkit/addremoveprogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Remove {

namespace {
const QString kProductName = QStringLiteral("Quillmate");
const QString kProductInitials = QStringLiteral("QLT");
const QString kProgram = QStringLiteral("QLT");
const QString kShortcut = Platform::shortcutFileName(kProductName);

// The trace only ever grows: every line is appended, nothing is removed.
class Trace {
public:
    explicit Trace(QString path) : m_path(std::move(path)) {}
    bool operator()(const QString &text) const
    {
        QFile f(m_path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        f.write(text.toUtf8() + "\r\n");
        return true;
    }

private:
    QString m_path;
};

void DeleteFileForced(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    // Best effort: what stays is found again by the next removal.
    (void)Platform::clearAttributes(path);
    (void)Platform::deleteFile(path);
}

// The folders whose Quillmate.desktop may be one of ours.
QStringList shortcutFolders(const QStringList &folders, const QString &trashFolder)
{
    QStringList out;
    for (const QString &folder : folders)
        if (trashFolder.isEmpty() || !folder.startsWith(trashFolder))
            out << folder;
    return out;
}
} // namespace

bool isProductShortcut(const QString &path, const QString &installedProgram)
{
    QFile entry(path);
    // A desktop entry is small; anything large is not one of ours.
    if (!QFileInfo(path).isFile() || entry.size() > 64 * 1024 || !entry.open(QIODevice::ReadOnly))
        return false;
    const QString program = Platform::desktopEntryProgram(entry.readAll());
    return !program.isEmpty() && QDir::cleanPath(program) == QDir::cleanPath(installedProgram);
}

QStringList mapFolders(const QString &root, int limit, const Lister &lister, const std::function<void()> &afterFolder)
{
    const Lister listSubfolders = lister ? lister : Lister(&Platform::listSubfolders);
    QStringList list{root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')};
    for (qsizetype next = 0; next < list.size() && list.size() < limit; ++next) {
        QStringList subfolders;
        const bool listed = listSubfolders(list[next], subfolders);
        if (afterFolder)
            afterFolder();
        if (!listed)
            continue; // cannot be entered: kept, not mapped further
        for (const QString &sub : subfolders) {
            if (list.size() >= limit)
                break;
            list << (sub.endsWith(QLatin1Char('/')) ? sub : sub + QLatin1Char('/'));
        }
    }
    return list;
}

Outcome RunRemove(const Folders &f, Ui &ui)
{
    if (!ui.confirm(QStringLiteral("This program will uninstall ") + kProductName + QStringLiteral(". Gone! No more ")
                        + kProductName + QStringLiteral(". Are you sure you want to continue?"),
                    QStringLiteral("*** WARNING ***"))) {
        ui.message(QStringLiteral("Uninstall aborted."), QStringLiteral("Alert"));
        return Outcome::Aborted;
    }
    ui.processEvents();
    ui.processEvents();
    ui.showWait();

    const Trace trace(f.traceFile);
    // Up to the mapping a failure ends the uninstaller with nothing removed.
    if (!trace(QStringLiteral("Mapping directories"))) {
        ui.closeWait();
        ui.message(QStringLiteral("Path/File access error: ") + f.traceFile, QString());
        return Outcome::Failed;
    }
    ui.setDoingWhat(QStringLiteral("Mapping directories."));
    // The walk of the home folder takes a while: keep the wait window painted.
    const QStringList folders =
        shortcutFolders(mapFolders(f.drive, kMaxFolders, {}, [&ui] { ui.processEvents(); }), f.trashFolder);
    trace(QStringLiteral("Done mapping"));

    // From here on nothing stops the sequence; failures go to the trace.
    auto traced = [&trace](const Status &done) {
        if (!done)
            trace(done.error());
    };
    trace(QStringLiteral("Emptying app directory"));
    ui.setDoingWhat(QStringLiteral("Emptying app directory."));
    const QString installLink = QDir::cleanPath(f.installFolder);
    // An install folder that is a link to elsewhere: the link goes, and
    // nothing in the folder it points to.
    const bool linked = Platform::isSymLink(installLink);
    const QStringList installed = linked ? QStringList() : Platform::plainFiles(f.installFolder);
    for (const QString &name : installed) {
        const QString path = f.installFolder + name;
        trace(QStringLiteral("Unlocking ") + path);
        traced(Platform::clearAttributes(path));
        trace(QStringLiteral("Killing ") + path);
        traced(Platform::deleteFile(path));
    }

    const QString program = f.installFolder + kProgram;
    ui.processEvents();
    for (const QString &folder : folders)
        if (isProductShortcut(folder + kShortcut, program))
            DeleteFileForced(folder + kShortcut);

    trace(QStringLiteral("Changing directory"));
    traced(Platform::changeFolder(f.uninstallerFolder));
    trace(QStringLiteral("Killing directory"));
    ui.setDoingWhat(QStringLiteral("Killing app directory."));
    if (linked)
        traced(Platform::deleteFile(installLink));
    else
        traced(Platform::removeFolder(f.drive + kProductName));

    ui.processEvents();
    trace(QStringLiteral("Killing links"));
    ui.setDoingWhat(QStringLiteral("Killing links."));
    for (const QString &folder : folders) {
        const QString link = folder + kShortcut;
        if (!isProductShortcut(link, program))
            continue;
        trace(QStringLiteral("Unlocking ") + link);
        traced(Platform::clearAttributes(link));
        trace(QStringLiteral("Killing ") + link);
        traced(Platform::deleteFile(link));
    }

    AddRemoveProgram::RemoveFromAddRemovePrograms(kProductName);
    trace(QStringLiteral("Unloading wait form"));
    ui.closeWait();
    ui.message(QStringLiteral("Uninstall of ") + kProductInitials + QStringLiteral(" is complete."),
               QStringLiteral("Finished."));
    return Outcome::Completed;
}

} // namespace Remove
