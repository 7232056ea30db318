#include "app/state/modelstore.h"

#include "app/mainwin/mainform.h"
#include "app/state/qltbas.h"
#include "app/state/settingsfile.h"
#include "platform/messagebox.h"

#include <QEventLoop>
#include <QPointer>

using QLTBas::state;

void LoadModel(const QString &name)
{
    QLTBas::ProgramState &s = state();
    if (name.isEmpty())
        return;
    const QString path = ModelFile::modelPath(s.ModelFolder, name);
    if (!QLTBas::FileExists(path))
        return;
    if (MainForm *main = MainForm::existing())
        main->setModelCaption(s.ModelName);

    ModelLists model = s;
    QString error;
    const bool ok = ModelFile::read(path, model, &error);
    static_cast<ModelLists &>(s) = model; // what was read so far stays, as the old program did
    if (!ok) {
        MessageBox::show(error + QStringLiteral(" while loading model.\r\nUnable to load complete model."),
                         QStringLiteral("A problem has occurred."));
        return;
    }
    SaveSettings();
}

void SaveModel()
{
    const QLTBas::ProgramState &s = state();
    QString error;
    if (!ModelFile::write(ModelFile::modelPath(s.ModelFolder, s.ModelName), s, &error))
        MessageBox::show(error + QStringLiteral(" occurred saving model file.\r\nNo model saved."),
                         QStringLiteral("Error"));
}

void LoadSettings()
{
    QLTBas::ProgramState &s = state();
    const SettingsFile::Settings settings = SettingsFile::read(s.AppFolder);
    s.ModelName = settings.modelName;
    s.ModelFolder = settings.modelFolder;
}

void SaveSettings()
{
    // A settings file that cannot be written only costs the user the choice
    // of model at the next start, so it is not worth a message.
    const QLTBas::ProgramState &s = state();
    SettingsFile::write(s.AppFolder, {s.ModelName, s.ModelFolder});
}

namespace {
bool g_waiting = false;          // the busy mark
QPointer<QEventLoop> g_loop;
} // namespace

void WaitForDialog()
{
    QLTBas::ProgramState &s = state();
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

void SetDialogDone()
{
    state().DialogDone = true;
    if (g_loop)
        g_loop->quit();
}
