#include "ui/menu/modelcommands.h"
#include "core/workspace.h"

#include "ui/editor/modelform.h"
#include "ui/mainwin/mainform.h"
#include "core/model/modelfile.h"
#include "ui/model/modelpathform.h"
#include "ui/dialogs/dialogwait.h"
#include "ui/dialogs/modelmessages.h"
#include "core/model/qltbas.h"
#include "ui/model/selectform.h"
#include "platform/gui/messagebox.h"

#include <QApplication>
#include <QListWidget>


namespace {
QString g_pickedModel;

// Shows the selection window with every model and waits for the choice.
// Answers false (after telling the user) when there is no model at all, and
// when the selection window is already open for another command: that one
// is brought forward, and its pick belongs to the command that opened it.
bool pickModel(Workspace &workspace)
{
    if (SelectForm *open = SelectForm::existing(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return false;
    }
    const QStringList models = ModelFile::listModels(workspace.ModelFolder);
    if (models.isEmpty()) {
        Ask::show(QStringLiteral("You have not yet created any models to edit."), QStringLiteral("Error"));
        return false;
    }
    SelectForm *select = SelectForm::instance();
    QObject::connect(select, &SelectForm::finished, select, [](const QString &picked) {
        g_pickedModel = picked;
        SetDialogDone();
    });
    select->setPrompt(QStringLiteral("Select model to load"));
    select->list()->clear();
    select->list()->addItems(models);
    select->show();
    WaitForDialog();
    return true;
}
} // namespace

void SelectModelCommand(Workspace &s)
{
    if (!pickModel(s))
        return;
    // The program may have been ended while the selection window was open.
    MainForm *main = MainForm::existing();
    if (!main)
        return;
    main->show();
    if (!g_pickedModel.isEmpty()) {
        const QString previous = s.ModelName;
        s.ModelName = g_pickedModel;
        // The model in use stays with its own name when the picked one
        // cannot be read whole.
        if (!loadModelTellingUser(s, g_pickedModel))
            s.ModelName = previous;
        main->ShowModel();
    }
}

void EditExistingModelCommand(Workspace &s)
{
    if (!pickModel(s))
        return;
    if (g_pickedModel.isEmpty())
        return; // the selection window has shown the main window again
    const QString previous = s.ModelName;
    s.ModelName = g_pickedModel;
    // A model that cannot be read whole is not edited: saving it would put
    // another model's lists in its file. The main window is showing again.
    if (!loadModelTellingUser(s, g_pickedModel)) {
        s.ModelName = previous;
        return;
    }
    ModelForm *editor = ModelForm::instance(s);
    editor->setModelName(g_pickedModel);
    editor->show();
    QApplication::processEvents();
    if (MainForm *main = MainForm::existing())
        main->hide();
}

void CreateModelCommand(Workspace &s)
{
    s.ModelName.clear();
    static_cast<ModelLists &>(s) = ModelLists();
    ModelForm *editor = ModelForm::instance(s);
    editor->show();
    if (MainForm *main = MainForm::existing())
        main->hide();
    editor->focusModelName();
}

void SetModelLocationPathCommand(Workspace &workspace)
{
    ModelPathForm::instance(workspace)->show();
    if (MainForm *main = MainForm::existing())
        main->hide();
}

QString pickedModel() { return g_pickedModel; }
