#include "cli/fillcommand.h"
#include "ui/dialogs/inputrules.h"
#include "ui/mainwin/mainform.h"
#include "ui/menu/mainmenu.h"
#include "core/workspace.h"
#include "platform/commandline.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // "QLT fill ..." fills without a window; every other start is the window.
    if (FillCommand::requested(argc, argv))
        return FillCommand::exec(argc, argv);
    // Answered before any window, so both work without a display.
    const int shown = CommandLine::helpOrVersion(
        argc, argv, QStringLiteral("QLT"),
        QStringLiteral("Quillmate fills in recurring paperwork: pick a model, type each value once and\n"
                       "press OK to print or save its documents and add a record to its spreadsheets.\n"
                       "Its files live in ~/Quillmate/.")
            + FillCommand::helpText());
    if (shown >= 0)
        return shown;
    // The one workspace outlives every window that works on it.
    Workspace workspace;
    QApplication app(argc, argv);
    InputRules::configureApplication();
    MainForm *main = openMainForm(workspace);
    main->startUp();
    return QApplication::exec();
}
