#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class FillDrawing;

// "QLT fill ...": the fill run of the confirmation window, driven from the
// command line, once or once per row of a CSV file. No window is made.
namespace FillCommand {

// Whether the arguments ask for the command line rather than the window.
bool requested(int argc, char *argv[]);

// Runs the command with its own (window-less) application object and
// answers the exit status: 0 all done, 1 some item had a problem, 2 usage.
// A run that prints or draws needs `drawing`: without it, nothing is done
// and the answer is empty, so the caller can load what draws and call again.
std::optional<int> exec(int argc, char *argv[], const FillDrawing *drawing);

// The same, inside an application object that already exists; `arguments`
// are those after "fill". A run that needs drawing fails without it.
int run(const QStringList &arguments, const FillDrawing *drawing = nullptr);

// The lines QLT --help adds for the command.
QString helpText();

} // namespace FillCommand
