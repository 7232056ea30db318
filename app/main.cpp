#include "app/mainwin/mainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QLT"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmate"));
    MainForm *main = MainForm::instance();
    main->startUp();
    return QApplication::exec();
}
