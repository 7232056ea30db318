#pragma once

#include <QString>
#include <QStringList>

// "QLT fill ...": the fill run of the confirmation window, driven from the
// command line, once or once per row of a CSV file. No window is made.
namespace FillCommand {

// Whether the arguments ask for the command line rather than the window.
bool requested(int argc, char *argv[]);

// Runs the command with its own (window-less) application object and
// answers the exit status: 0 all done, 1 some item had a problem, 2 usage.
int exec(int argc, char *argv[]);

// The same, inside an application object that already exists; `arguments`
// are those after "fill".
int run(const QStringList &arguments);

// The lines QLT --help adds for the command.
QString helpText();

} // namespace FillCommand
