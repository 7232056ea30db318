#include "ui/mainwin/modelstore.h"
#include "core/workspace.h"

#include "core/editor/modeleditor.h"

#include "core/model/modelpath.h"
#include "core/model/names.h"
#include "core/model/qltbas.h"
#include "core/model/settingsfile.h"
#include "platform/folders.h"
#include "platform/messagebox.h"

#include <QDir>
#include <QEventLoop>
#include <QPointer>


void LoadModel(Workspace &s, const QString &name)
{
    // A name that could lead out of the model folder has no model file.
    if (!Names::isSafeName(name))
        return;
    const QString path = ModelFile::modelPath(s.ModelFolder, name);
    if (!QLTBas::FileExists(path))
        return;

    Result<ModelLists> read = ModelFile::read(path);
    // A model that cannot be read whole leaves the current one as it was.
    if (!read) {
        Ask::show(read.error() + QStringLiteral(" while loading model.\r\nUnable to load complete model."),
                         QStringLiteral("A problem has occurred."));
        return;
    }
    ModelLists model = std::move(read).value();
    // Spreadsheets are used by their full path: a relative one is taken from
    // the model folder, never from the program's current folder.
    for (QString &sheet : model.SheetPaths)
        if (!sheet.isEmpty() && QDir::isRelativePath(sheet))
            sheet = QDir::cleanPath(QDir(s.ModelFolder).absoluteFilePath(sheet));
    s.setModel(model);
    SaveSettings(s);
}

bool SaveModel(const Workspace &s)
{
    const EditResult saved = ModelEditor::saveModel(s, s.ModelFolder, s.ModelName);
    if (!saved.ok)
        Ask::show(saved.message, saved.title);
    return saved.ok;
}

void LoadSettings(Workspace &s)
{
    const SettingsFile::Settings settings = SettingsFile::read(s.AppFolder);
    // The file may have been edited by hand: a model name that could lead out
    // of the model folder means no current model, and a relative folder is
    // taken from the home folder.
    s.ModelName = Names::isSafeName(settings.modelName) ? settings.modelName : QString();
    s.ModelFolder = ModelPath::absoluteFolder(settings.modelFolder, Platform::homeDrive());
    // File paths are folder + name: a folder without its separator would put
    // the model files beside the folder instead of in it.
    if (!s.ModelFolder.endsWith(QLatin1Char('/')) && !s.ModelFolder.endsWith(QLatin1Char('\\')))
        s.ModelFolder += QLatin1Char('/');
}

void SaveSettings(const Workspace &s)
{
    // A settings file that cannot be written only costs the user the choice
    // of model at the next start, so it is not worth a message.
    (void)SettingsFile::write(s.AppFolder, {s.ModelName, s.ModelFolder});
}

namespace {
bool g_waiting = false;          // the busy mark
QPointer<QEventLoop> g_loop;
} // namespace

void WaitForDialog(Workspace &s)
{
    s.DialogDone = false;
    if (g_waiting)
        return;
    g_waiting = true;
    QEventLoop loop;
    g_loop = &loop;
    // The loop also ends when the whole program is asked to quit.
    if (!s.DialogDone)
        loop.exec();
    g_loop = nullptr;
    g_waiting = false;
    s.DialogDone = false;
}

void SetDialogDone(Workspace &workspace)
{
    workspace.DialogDone = true;
    if (g_loop)
        g_loop->quit();
}
