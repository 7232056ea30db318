#pragma once

#include <QString>

// Printing a file through the program that handles its type.
namespace Platform {

// Prints `path` on the default printer and waits until the printing program
// has taken the file, so the caller may delete it afterwards. Answers "" on
// success, or what went wrong.
QString printFile(const QString &path);

// True when an office suite that can print is installed (Debian's GUI-less
// build answers success to a print request and prints nothing).
bool officeCanPrint();

// The office program, or "" when none is installed.
QString officeProgram();

} // namespace Platform
