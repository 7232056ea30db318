#include "platform/folders.h"
#include "setup/setup1.h"
#include "setup/setupforms.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SetupQLT"));
    SetupWindows windows;
    const SETUP1::Folders folders{QDir::currentPath(), QApplication::applicationDirPath(), Platform::appFolder(),
                                  Platform::windowsFolder(), Platform::desktopFolder()};
    SETUP1::RunSetup(folders, windows);
    return 0;
}
