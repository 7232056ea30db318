#pragma once

#include <QString>
#include <QStringList>

// Running a helper program (the office, the print command) to its end while
// the windows keep painting.
namespace Platform {

struct RunResult {
    bool started = false;
    bool finished = false; // false: killed after the time ran out
    bool succeeded = false; // ended normally with exit code 0
    QString output;         // what it wrote, both channels
};

RunResult runToEnd(const QString &program, const QStringList &arguments, int timeoutMs);

// A profile folder of our own for the office, as an -env:UserInstallation
// URL, so a job is never handed to an office the user has open (which would
// answer before doing it). `purpose` names the folder. Each process leases
// one for its lifetime ("purpose", else "purpose-2", ...), so QLT processes
// running at the same time never share one, and later ones reuse it.
QString officeProfileUrl(const QString &purpose);

// True when an office suite that can print is installed (Debian's GUI-less
// build answers success to a print request and prints nothing).
bool officeCanPrint();

// The office program, or "" when none is installed.
QString officeProgram();

} // namespace Platform
