#pragma once

#include <QString>

// --help and --version of the three programs. Both read argv before any
// window system is touched, so they work without a display.
namespace CommandLine {

// With --help or --version as the only argument, prints the usage or the
// version on standard output and answers 0; otherwise answers -1.
int helpOrVersion(int argc, char *argv[], const QString &program, const QString &description);

// For a program that takes no other argument: as helpOrVersion, and any
// other argument is refused with the usage on standard error and status 2,
// so that no argument ever starts what the user did not ask for. Answers
// -1 when there is no argument at all and the program is to run.
int handle(int argc, char *argv[], const QString &program, const QString &description);

} // namespace CommandLine
