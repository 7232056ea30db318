#include "remove/removeprogram.h"

#include "platform/commandline.h"
#include "platform/folders.h"
#include "remove/remove.h"
#include "remove/removeforms.h"

#include <QApplication>

int runRemoveProgram(int argc, char *argv[])
{
    const int handled = CommandLine::handle(
        argc, argv, QStringLiteral("RemoveQLT"),
        QStringLiteral("Uninstalls Quillmate for the current user: empties and removes ~/Quillmate/, deletes the\n"
                       "product's Quillmate.desktop entries and its uninstall record, and appends what it did\n"
                       "to ~/gcur.txt. With no arguments it asks before it changes anything."));
    if (handled >= 0)
        return handled;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RemoveQLT"));
    RemoveWindows windows;
    const QString drive = Platform::homeDrive();
    const Remove::Outcome outcome = Remove::RunRemove(
        {drive, Platform::uninstallerFolder(), Platform::appFolder(), drive + QStringLiteral("gcur.txt"), Platform::trashFolder()},
        windows);
    return outcome == Remove::Outcome::Failed ? 1 : 0;
}
