#include "setup/setup1.h"

#include "app/state/modelfile.h"
#include "platform/codepage.h"
#include "platform/filesystem.h"
#include "setup/addremoveprogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SETUP1 {

namespace {
// The desktop entry's icon: a quill over a sheet.
QByteArray quillmateIcon()
{
    return R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 64 64" width="64" height="64">
<rect x="10" y="6" width="40" height="52" rx="3" fill="#ffffff" stroke="#505a6e" stroke-width="2"/>
<path d="M17 20h26M17 28h26M17 36h18" stroke="#9aa4b8" stroke-width="2"/>
<path d="M56 4C40 10 30 26 26 44l4 2C36 30 46 16 56 4z" fill="#c0392b"/>
<path d="M26 44l-2 10 6-8z" fill="#2c3e50"/>
</svg>
)";
}

const QString kProductName = QStringLiteral("Quillmate");
const QString kProgram = QStringLiteral("QLT");
const QString kUninstaller = QStringLiteral("RemoveQLT");
const QString kIcon = QStringLiteral("Quillmate.svg");
const QString kCalcModule = QStringLiteral("qltcalc.so");

// An existing file at the destination is replaced.
bool copyOver(const QString &from, const QString &to)
{
    if (!QFileInfo(from).isFile())
        return false;
    if (QFileInfo::exists(to) && !QFile::remove(to))
        return false;
    return QFile::copy(from, to);
}

void DeleteIfExists(const QString &path)
{
    if (QFileInfo(path).isFile())
        QFile::remove(path);
}

// Quoting of a desktop entry's Exec argument.
QString execQuoted(const QString &path)
{
    QString q;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            q += QLatin1Char('\\');
        q += c;
    }
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// Values of other keys may not hold line breaks.
QString entryValue(const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return v;
}

void CreateDesktopShortcut(const QString &name, const QString &folder, const QString &fileName,
                           const QString &desktopFolder)
{
    QSaveFile icon(folder + kIcon);
    if (icon.open(QIODevice::WriteOnly)) {
        icon.write(quillmateIcon());
        icon.commit();
    }
    QSaveFile entry(desktopFolder + name + QStringLiteral(".desktop"));
    if (!entry.open(QIODevice::WriteOnly))
        return;
    entry.write(desktopEntry(name, folder, folder + fileName, folder + kIcon));
    if (entry.commit())
        Platform::makeExecutable(desktopFolder + name + QStringLiteral(".desktop")); // desktops trust only executable entries
}
} // namespace

QByteArray desktopEntry(const QString &name, const QString &folder, const QString &program, const QString &icon)
{
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
    text += QStringLiteral("Name=") + entryValue(name) + QLatin1Char('\n');
    text += QStringLiteral("Comment=") + entryValue(name) + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + execQuoted(program) + QLatin1Char('\n');
    text += QStringLiteral("Path=") + entryValue(folder) + QLatin1Char('\n');
    text += QStringLiteral("Icon=") + entryValue(icon) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\nCategories=Office;\n");
    return text.toUtf8();
}

bool pointSampleModelAt(const QString &modelPath, const QString &installFolder)
{
    ModelLists model;
    if (!ModelFile::read(modelPath, model, nullptr))
        return false;
    for (QString &path : model.SheetPaths) {
        const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        const QString fileName = path.mid(cut + 1);
        if (fileName.compare(QStringLiteral("Sample Spreadsheet.xls"), Qt::CaseInsensitive) == 0)
            path = installFolder + fileName;
    }
    return ModelFile::write(modelPath, model, nullptr);
}

Outcome RunSetup(const Folders &f, Ui &ui)
{
    const QString source = f.sourceFolder + QLatin1Char('/');
    const QString current = f.currentFolder + QLatin1Char('/');

    // 1. Confirmation.
    QFile info(current + QStringLiteral("QLT.txt"));
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

    QString error;
    if (!QFileInfo(f.installFolder).isDir() && !Platform::makeFolder(f.installFolder, &error)) {
        ui.message(error + QStringLiteral(" making ") + f.installFolder, QStringLiteral("Serious problem. Aborting setup."));
        ui.closeWait();
        return Outcome::Aborted;
    }

    QString dots;
    auto tick = [&] {
        dots += QStringLiteral(" .");
        ui.setDots(dots);
        if (dots.size() > 100)
            dots.clear();
    };
    tick();
    tick();
    copyOver(current + QStringLiteral("QLT.txt"), f.installFolder + QStringLiteral("QLT.txt"));
    tick();
    copyOver(current + QStringLiteral("Pointer.html"), f.installFolder + QStringLiteral("Pointer.html"));
    tick();
    copyOver(current + kProgram, f.installFolder + kProgram);
    // The spreadsheet module goes with the program it belongs to.
    copyOver(current + kCalcModule, f.installFolder + kCalcModule);
    tick(); // the rich-text control: nothing to place here
    tick();
    if (QFileInfo(source + kUninstaller).isFile()) {
        QDir().mkpath(f.windowsFolder);
        copyOver(source + kUninstaller, f.windowsFolder + kUninstaller);
        AddRemoveProgram::AddToAddRemovePrograms(kProductName, f.windowsFolder + kUninstaller,
                                                 [&ui](const QString &t, const QString &title) { ui.message(t, title); });
    } else {
        ui.message(kProductName + QStringLiteral(" uninstall file not found, and therefore not installed."),
                   QStringLiteral("Small problem"));
    }
    tick();
    ui.processEvents();

    for (const char *name : {"Template.rtf", "Sample Model.mod", "Sample Doc.rtf", "Sample Spreadsheet.xls"})
        copyOver(source + QLatin1String(name), f.installFolder + QLatin1String(name));
    pointSampleModelAt(f.installFolder + QStringLiteral("Sample Model.mod"), f.installFolder);

    for (const char *name : {"QLT.txt", "Pointer.html", "RemoveQLT", "QLT", "qltcalc.so", "Template.rtf",
                             "Sample Model.mod", "Sample Doc.rtf", "Sample Spreadsheet.xls"})
        DeleteIfExists(source + QLatin1String(name));

    CreateDesktopShortcut(kProductName, f.installFolder, kProgram, f.desktopFolder);

    ui.closeWait();
    ui.startProgram(f.installFolder + kProgram, f.installFolder);
    return Outcome::Completed;
}

} // namespace SETUP1
