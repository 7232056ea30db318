#include "setup/installer.h"

#include "core/model/modelfile.h"
#include "platform/codepage.h"
#include "platform/shortcuts.h"
#include "platform/filesystem.h"
#include "platform/folders.h"
#include "installkit/addremoveprogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace SETUP1 {

namespace {
// The entries' icon: a quill over a sheet.
QByteArray quillmateIcon()
{
    QFile icon(QStringLiteral(":/quillmate.svg"));
    return icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray();
}

const QString kProductName = QStringLiteral("Quillmate");
const QString kProgram = QStringLiteral("QLT");
const QString kUninstaller = QStringLiteral("RemoveQLT");
const QString kIcon = QStringLiteral("Quillmate.svg");
const QString kCalcModule = Platform::moduleFileName(QStringLiteral("qltcalc"));
const QString kGuiModule = Platform::moduleFileName(QStringLiteral("qltgui"));
const QString kFatalTitle = QStringLiteral("Serious problem. Aborting setup.");

void DeleteIfExists(const QString &path)
{
    if (QFileInfo(path).isFile())
        QFile::remove(path);
}

// The desktop shortcut and the application menu's entry.
void CreateDesktopShortcut(const QString &name, const QString &folder, const QString &fileName, const Folders &f)
{
    // Without the icon the shortcut still starts the program.
    (void)Platform::writeFileAtomically(folder + kIcon, quillmateIcon());
    const QString shortcut = Platform::shortcutFileName(name);
    Platform::placeShortcut(f.desktopFolder + shortcut, name, folder, folder + fileName, folder + kIcon);
    Platform::placeShortcut(f.applicationsFolder + shortcut, name, folder, folder + fileName, folder + kIcon);
}

// The payload files whose copies are complete; only these may be deleted.
class Payload {
public:
    explicit Payload(QString folder) : m_folder(std::move(folder)) {}
    QString path(const QString &name) const { return m_folder + name; }

    // An optional file: a failed copy is skipped silently.
    void copy(const QString &name, const QString &to) { (void)copyRequired(name, to); }

    // A file the product cannot do without: the failure says why it could
    // not be installed.
    Status copyRequired(const QString &name, const QString &to)
    {
        const Result<Platform::CopyOutcome> copied = Platform::copyFile(path(name), to);
        if (!copied)
            return Failure{copied.error() + QStringLiteral(" installing ") + path(name) + QStringLiteral(" as ") + to};
        // A file already in place is not the payload's to delete: that would lose it.
        if (*copied == Platform::CopyOutcome::Copied)
            m_copied << name;
        return {};
    }

    void deleteCopied(const QStringList &names) const
    {
        for (const QString &name : names)
            if (m_copied.contains(name))
                DeleteIfExists(path(name));
    }

private:
    QString m_folder;
    QStringList m_copied;
};
} // namespace

Folders foldersFor(const QString &programFolder)
{
    const QString source = QDir::cleanPath(QDir(programFolder).absolutePath());
    const QString home = QDir::cleanPath(Platform::homeDrive());
    const bool inHome = source.startsWith(home + QLatin1Char('/'));
    return {source, Platform::appFolder(), Platform::uninstallerFolder(), Platform::desktopFolder(),
            Platform::applicationsFolder(), !inHome};
}

bool pointSampleModelAt(const QString &modelPath, const QString &installFolder)
{
    Result<ModelLists> read = ModelFile::read(modelPath);
    if (!read)
        return false;
    ModelLists model = std::move(read).value();
    for (QString &path : model.SheetPaths) {
        const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        const QString fileName = path.mid(cut + 1);
        if (fileName.compare(QStringLiteral("Sample Spreadsheet.xls"), Qt::CaseInsensitive) == 0)
            path = installFolder + fileName;
    }
    return ModelFile::write(modelPath, model).ok();
}

Outcome RunSetup(const Folders &f, Ui &ui)
{
    Payload payload(f.sourceFolder + QLatin1Char('/'));

    // 1. Confirmation.
    QFile info(payload.path(QStringLiteral("QLT.txt")));
    if (QFileInfo(info).isFile() && info.open(QIODevice::ReadOnly)) {
        if (!ui.showSetupInformation(Platform::decodeText(info.readAll())))
            return Outcome::Cancelled;
    } else if (!ui.askToContinue(QStringLiteral("This program will install ") + kProductName
                                     + QStringLiteral(" on your computer.\r\nDo you wish to continue?"),
                                 QStringLiteral("Preparing to install ") + kProductName)) {
        return Outcome::Cancelled;
    }

    ui.showWait();
    ui.setWaitCaption(QStringLiteral("Installing ") + kProductName);
    // The runtime library and the rich-text control of the old installer
    // are not needed: Qt comes from the system and rich text is built in.
    ui.showWait();

    if (Status made = QFileInfo(f.installFolder).isDir() ? Status() : Platform::makeFolder(f.installFolder); !made) {
        ui.message(made.error() + QStringLiteral(" making ") + f.installFolder, kFatalTitle);
        ui.closeWait();
        return Outcome::Aborted;
    }
    // Without the program, its spreadsheet module or the uninstaller there
    // is nothing to record or start: say which file failed, and keep the
    // payload so the user can try again.
    auto abort = [&ui](const Status &why) {
        ui.message(why.error(), kFatalTitle);
        ui.closeWait();
        return Outcome::Aborted;
    };

    QString dots;
    auto tick = [&] {
        dots += QStringLiteral(" .");
        ui.setDots(dots);
        if (dots.size() > 100)
            dots.clear();
    };
    tick();
    tick();
    payload.copy(QStringLiteral("QLT.txt"), f.installFolder + QStringLiteral("QLT.txt"));
    tick();
    payload.copy(QStringLiteral("Pointer.html"), f.installFolder + QStringLiteral("Pointer.html"));
    tick();
    if (Status copied = payload.copyRequired(kProgram, f.installFolder + kProgram); !copied)
        return abort(copied);
    if (Status copied = payload.copyRequired(kCalcModule, f.installFolder + kCalcModule); !copied)
        return abort(copied);
    if (Status copied = payload.copyRequired(kGuiModule, f.installFolder + kGuiModule); !copied)
        return abort(copied);
    tick(); // the rich-text control: nothing to place here
    tick();
    if (QFileInfo(payload.path(kUninstaller)).isFile()) {
        // A folder that cannot be made fails the copy below, which says so.
        (void)Platform::makeFolder(f.uninstallerFolder);
        if (Status copied = payload.copyRequired(kUninstaller, f.uninstallerFolder + kUninstaller); !copied)
            return abort(copied);
        AddRemoveProgram::AddToAddRemovePrograms(kProductName, f.uninstallerFolder + kUninstaller,
                                                 [&ui](const QString &t, const QString &title) { ui.message(t, title); });
    } else {
        ui.message(kProductName + QStringLiteral(" uninstall file not found, and therefore not installed."),
                   QStringLiteral("Small problem"));
    }
    tick();
    ui.processEvents();

    const QStringList samples{QStringLiteral("Template.rtf"), QStringLiteral("Sample Model.mod"),
                              QStringLiteral("Sample Doc.rtf"), QStringLiteral("Sample Spreadsheet.xls")};
    for (const QString &name : samples)
        payload.copy(name, f.installFolder + name);
    pointSampleModelAt(f.installFolder + QStringLiteral("Sample Model.mod"), f.installFolder);

    if (!f.keepPayload)
        payload.deleteCopied(QStringList{QStringLiteral("QLT.txt"), QStringLiteral("Pointer.html"), kUninstaller,
                                         kProgram, kCalcModule, kGuiModule}
                             + samples);

    CreateDesktopShortcut(kProductName, f.installFolder, kProgram, f);

    ui.closeWait();
    ui.startProgram(f.installFolder + kProgram, f.installFolder);
    return Outcome::Completed;
}

} // namespace SETUP1
