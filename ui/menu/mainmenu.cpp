#include "ui/menu/mainmenu.h"
#include "core/workspace.h"

#include "ui/mainwin/mainform.h"
#include "ui/dialogs/aboutbox.h"
#include "ui/dialogs/helpform.h"
#include "ui/fill/listform.h"
#include "core/render/pdfcopy.h"
#include "ui/model/identifierform.h"
#include "ui/menu/modelcommands.h"
#include "core/model/qltbas.h"
#include "platform/gui/messagebox.h"
#include "platform/process.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace {
QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QMenu *addMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

void uninstall(const Workspace &workspace)
{
    const QString question = QStringLiteral("This option completely removes ") + QLTBas::ProductName
        + QStringLiteral(" from your system. Are you sure you want to do this?");
    if (Ask::show(question, QStringLiteral("WARNING!"), Ask::YesNo, Ask::Question)
        != Ask::Yes)
        return;
    // A missing uninstaller is not reported: the program ends either way.
    const QString uninstaller = workspace.UninstallerFolder + QStringLiteral("RemoveQLT");
    if (QLTBas::FileExists(uninstaller))
        Platform::startDetached(uninstaller);
    EndProgram();
}
} // namespace

void buildMainMenu(MainForm &main, Workspace &s)
{
    // The commands run in the main window's lifetime.
    const auto onTriggered = [&main](QAction *action, auto command) {
        QObject::connect(action, &QAction::triggered, &main, command);
    };
    QMenuBar *bar = main.menuBar();

    QMenu *files = addMenu(bar, "mnuFiles", QStringLiteral("&File"));
    onTriggered(addItem(files, "mnuSaveData", QStringLiteral("Sa&ve Data")), [&s] { SaveDataCommand(s); });
    onTriggered(addItem(files, "mnuLoadData", QStringLiteral("&Load Data")), [&s] { LoadDataCommand(s); });
    onTriggered(addItem(files, "mnuFillFromList", QStringLiteral("Fill From &List...")),
                [&s, &main] { ListForm::pickList(s, &main); });
    addSeparator(files, "mnuDummyF5");
    onTriggered(addItem(files, "mnuSelectModel", QStringLiteral("&Select Model")), [&s] { SelectModelCommand(s); });
    addSeparator(files, "mnuDummyF3");
    onTriggered(addItem(files, "mnuCreateModel", QStringLiteral("&Create Model")), [&s] { CreateModelCommand(s); });
    onTriggered(addItem(files, "mnuEditExisitngModel", QStringLiteral("&Edit Exisitng Model")),
                [&s] { EditExistingModelCommand(s); });
    addSeparator(files, "mnuDummyF4");
    onTriggered(addItem(files, "mnuSetModelLocationPath", QStringLiteral("Set Model Location &Path")),
                [&s] { SetModelLocationPathCommand(s); });
    addSeparator(files, "mnuDummyF1");
    onTriggered(addItem(files, "mnuUninstallQuillmate", QStringLiteral("&Uninstall Quillmate")),
                [&s] { uninstall(s); });
    addSeparator(files, "mnuDummyF2");
    onTriggered(addItem(files, "mnuExit", QStringLiteral("E&xit")), &EndProgram);

    QMenu *configure = addMenu(bar, "mnuConfigure", QStringLiteral("&Configure"));
    // Company Info has no function; it is shown, but disabled.
    addItem(configure, "mnuCompanyInfo", QStringLiteral("&Company Info"))->setEnabled(false);
    QAction *pdfCopies = addItem(configure, "mnuSavePdfCopies", QStringLiteral("Save &PDF Copies"));
    pdfCopies->setCheckable(true);
    pdfCopies->setChecked(PdfCopy::enabled());
    QObject::connect(pdfCopies, &QAction::toggled, &main, &PdfCopy::setEnabled);

    QMenu *help = addMenu(bar, "mnuHelp", QStringLiteral("&Help"));
    QAction *instructions = addItem(help, "mnuInstructions", QStringLiteral("&Instructions"));
    instructions->setShortcut(QKeySequence(Qt::Key_F1));
    instructions->setShortcutContext(Qt::WindowShortcut);
    onTriggered(instructions, [&s] { ShowInstructions(s, QStringLiteral("Using Quillmate"), QString()); });
    addSeparator(help, "mnuDummyH1");
    onTriggered(addItem(help, "mnuAbout", QStringLiteral("&About")), [&s] {
        AboutBox *about = AboutBox::instance(s);
        about->show();
        about->raise();
        about->activateWindow();
    });
}

MainForm *openMainForm(Workspace &workspace)
{
    const bool fresh = !MainForm::existing();
    MainForm *main = MainForm::instance(workspace);
    if (fresh)
        buildMainMenu(*main, workspace);
    return main;
}
