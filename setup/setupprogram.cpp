#include "setup/setupprogram.h"

#include "platform/commandline.h"
#include "setup/installer.h"
#include "setup/setupforms.h"

#include <QApplication>

int runSetupProgram(int argc, char *argv[], bool unattended)
{
    const int handled = CommandLine::handle(
        argc, argv, QStringLiteral("SetupQLT"),
        QStringLiteral("Installs Quillmate for the current user from the folder that holds SetupQLT: QLT, its\n"
                       "instructions, template and sample model go into ~/Quillmate/, the uninstaller RemoveQLT\n"
                       "into ~/.local/bin/, and Quillmate.desktop onto the desktop and into the application menu.\n"
                       "With no arguments it asks before it changes anything."));
    if (handled >= 0)
        return handled;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SetupQLT"));
    SetupWindows windows(unattended);
    // The payload is the installer's own folder, whatever the current folder.
    const SETUP1::Outcome outcome = SETUP1::RunSetup(SETUP1::foldersFor(QApplication::applicationDirPath()), windows);
    return outcome == SETUP1::Outcome::Aborted ? 1 : 0;
}
