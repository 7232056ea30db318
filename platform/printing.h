#pragma once

#include <QString>

// Printing through the system's spooler (CUPS on Linux). A print counts as
// done only once the spooler has taken it as a job: a printer that refuses
// jobs is a problem, never a silent success.
namespace Platform {

// Hands `path` to `printer`'s queue (the default printer when empty) as a
// job titled `title`, and waits until the spooler has taken the whole file,
// so the caller may delete it afterwards. Answers "" once the spooler gave
// the job its number, or why it did not take it.
QString submitToSpooler(const QString &path, const QString &printer, const QString &title);

// Why `printer` would not take a job now, or "" when it would. A stopped
// printer still takes jobs: they wait in its queue until it is started.
QString printerRefusal(const QString &printer);

// The number of the newest job of ours on `printer` (0 when there is
// none): noted before another program prints, so `jobSince` can tell that
// its job reached the spooler.
int newestJob(const QString &printer);
// "" when a job of ours newer than `job` is on `printer`, else what to say.
QString jobSince(const QString &printer, int job);

// Prints `path` through the program that handles its type on `printer` and
// checks that the spooler got the job. Answers "" on success, or what went
// wrong.
QString printFile(const QString &path, const QString &printer);

} // namespace Platform
