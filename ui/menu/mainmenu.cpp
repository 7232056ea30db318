#include "ui/mainwin/mainform.h"
#include "core/workspace.h"

#include "ui/dialogs/aboutbox.h"
#include "ui/dialogs/helpform.h"
#include "ui/fill/confirmform.h"
#include "ui/fill/listform.h"
#include "core/render/pdfcopy.h"
#include "ui/model/identifierform.h"
#include "ui/menu/modelcommands.h"
#include "core/model/qltbas.h"
#include "platform/messagebox.h"
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

void MainForm::buildMenu()
{
    QMenuBar *bar = menuBar();

    QMenu *files = addMenu(bar, "mnuFiles", QStringLiteral("&File"));
    connect(addItem(files, "mnuSaveData", QStringLiteral("Sa&ve Data")), &QAction::triggered, this,
            [this] { SaveDataCommand(m_workspace); });
    connect(addItem(files, "mnuLoadData", QStringLiteral("&Load Data")), &QAction::triggered, this,
            [this] { LoadDataCommand(m_workspace); });
    connect(addItem(files, "mnuFillFromList", QStringLiteral("Fill From &List...")), &QAction::triggered, this,
            [this] { ListForm::pickList(m_workspace, this); });
    addSeparator(files, "mnuDummyF5");
    connect(addItem(files, "mnuSelectModel", QStringLiteral("&Select Model")), &QAction::triggered, this,
            [this] { SelectModelCommand(m_workspace); });
    addSeparator(files, "mnuDummyF3");
    connect(addItem(files, "mnuCreateModel", QStringLiteral("&Create Model")), &QAction::triggered, this,
            [this] { CreateModelCommand(m_workspace); });
    connect(addItem(files, "mnuEditExisitngModel", QStringLiteral("&Edit Exisitng Model")), &QAction::triggered,
            this, [this] { EditExistingModelCommand(m_workspace); });
    addSeparator(files, "mnuDummyF4");
    connect(addItem(files, "mnuSetModelLocationPath", QStringLiteral("Set Model Location &Path")),
            &QAction::triggered, this, [this] { SetModelLocationPathCommand(m_workspace); });
    addSeparator(files, "mnuDummyF1");
    connect(addItem(files, "mnuUninstallQuillmate", QStringLiteral("&Uninstall Quillmate")), &QAction::triggered,
            this, [this] { uninstall(m_workspace); });
    addSeparator(files, "mnuDummyF2");
    connect(addItem(files, "mnuExit", QStringLiteral("E&xit")), &QAction::triggered, this, &EndProgram);

    QMenu *configure = addMenu(bar, "mnuConfigure", QStringLiteral("&Configure"));
    // Company Info has no function; it is shown, but disabled.
    addItem(configure, "mnuCompanyInfo", QStringLiteral("&Company Info"))->setEnabled(false);
    QAction *pdfCopies = addItem(configure, "mnuSavePdfCopies", QStringLiteral("Save &PDF Copies"));
    pdfCopies->setCheckable(true);
    pdfCopies->setChecked(PdfCopy::enabled());
    connect(pdfCopies, &QAction::toggled, this, &PdfCopy::setEnabled);

    QMenu *help = addMenu(bar, "mnuHelp", QStringLiteral("&Help"));
    QAction *instructions = addItem(help, "mnuInstructions", QStringLiteral("&Instructions"));
    instructions->setShortcut(QKeySequence(Qt::Key_F1));
    instructions->setShortcutContext(Qt::WindowShortcut);
    connect(instructions, &QAction::triggered, this,
            [this] { ShowInstructions(m_workspace, QStringLiteral("Using Quillmate"), QString()); });
    addSeparator(help, "mnuDummyH1");
    connect(addItem(help, "mnuAbout", QStringLiteral("&About")), &QAction::triggered, this, [this] {
        AboutBox *about = AboutBox::instance(m_workspace);
        about->show();
        about->raise();
        about->activateWindow();
    });
}

void MainForm::okClicked()
{
    ConfirmForm::instance(m_workspace)->show();
    hide();
}
