// QLT. A fill from the command line that only writes files runs here, with
// QtCore alone, so a letter is filled in a few milliseconds; the windows,
// and fills that print or draw, are in the module beside the program.
#include "cli/fillcommand.h"
#include "platform/commandline.h"
#include "platform/folders.h"

#include <QLibrary>

#include <cstdio>
#include <optional>

namespace {

int runGuiModule(int argc, char *argv[])
{
    QLibrary module(Platform::programFolder() + Platform::moduleFileName(QStringLiteral("qltgui")));
    using Entry = int (*)(int, char *[]);
    const auto entry = reinterpret_cast<Entry>(module.resolve("qltGuiMain"));
    if (!entry) {
        std::fprintf(stderr, "QLT: %s\n", qPrintable(module.errorString()));
        return 1;
    }
    return entry(argc, argv);
}

} // namespace

int main(int argc, char *argv[])
{
    if (FillCommand::requested(argc, argv)) {
        if (const std::optional<int> done = FillCommand::exec(argc, argv, nullptr))
            return *done;
        return runGuiModule(argc, argv);
    }
    // Answered before any window, so both work without a display.
    const int shown = CommandLine::helpOrVersion(
        argc, argv, QStringLiteral("QLT"),
        QStringLiteral("Quillmate fills in recurring paperwork: pick a model, type each value once and\n"
                       "press OK to print or save its documents and add a record to its spreadsheets.\n"
                       "Its files live in ~/Quillmate/.")
            + FillCommand::helpText());
    if (shown >= 0)
        return shown;
    return runGuiModule(argc, argv);
}
