#include "platform/folders.h"
#include "remove/remove.h"
#include "remove/removeforms.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RemoveQLT"));
    RemoveWindows windows;
    const QString drive = Platform::homeDrive();
    Remove::RunRemove({drive, Platform::windowsFolder(), Platform::appFolder(), drive + QStringLiteral("gcur.txt")},
                      windows);
    return 0;
}
