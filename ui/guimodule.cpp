// The windows, and the drawing the command line's prints and PDF copies
// need, as the module QLT loads only when it shows a window or draws: a
// fill that only writes files starts without any of the libraries below.
#include "cli/filldrawing.h"
#include "cli/fillcommand.h"
#include "core/print/printing.h"
#include "core/render/pdfcopy.h"
#include "core/workspace.h"
#include "platform/terminal.h"
#include "ui/dialogs/inputrules.h"
#include "ui/mainwin/mainform.h"
#include "ui/menu/mainmenu.h"

#include <QApplication>
#include <QGuiApplication>

namespace {

class GuiDrawing : public FillDrawing {
public:
    int withApplication(char *argv0, const std::function<int()> &body) const override
    {
        Platform::useOffscreenWithoutDisplay();
        int argc = 1;
        char *argv[] = {argv0, nullptr};
        QGuiApplication app(argc, argv);
        return body();
    }
    std::unique_ptr<Documents::Printing> printing(OfficeSession *office, RunContext *run) const override
    {
        return std::make_unique<SystemPrinting>(office, run);
    }
    Status pdfCopyBeside(const QString &savedPath, OfficeSession *office, RunContext *run) const override
    {
        return PdfCopy::saveBeside(savedPath, office, run);
    }
};

} // namespace

// QLT's own arguments: "fill ..." that prints or draws, or the window.
extern "C" Q_DECL_EXPORT int qltGuiMain(int argc, char *argv[])
{
    const GuiDrawing drawing;
    if (FillCommand::requested(argc, argv))
        return FillCommand::exec(argc, argv, &drawing).value_or(1);
    // The one workspace outlives every window that works on it.
    Workspace workspace;
    QApplication app(argc, argv);
    InputRules::configureApplication();
    MainForm *main = openMainForm(workspace);
    main->startUp();
    return QApplication::exec();
}
