#include "app/dialogs/inputrules.h"
#include "app/mainwin/mainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InputRules::configureApplication();
    MainForm *main = MainForm::instance();
    main->startUp();
    return QApplication::exec();
}
