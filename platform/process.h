#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QProcess;

namespace Platform {

// Starts a program without waiting for it. Answers false when it could not
// be started.
bool startDetached(const QString &program, const QStringList &arguments = {},
                   const QString &workingFolder = {});

// The program the desktop opens this file with, or "" when the file is
// missing or nothing is associated.
QString findAssociatedProgram(const QString &filePath);

// Opens the file (or address) in the program associated with it, without
// waiting. Failures are reported only through the result.
bool openWithAssociatedProgram(const QString &fileOrUrl);

// Makes a helper process end with us: it gets a process group of its own
// and is killed when this process dies, even by a crash.
void tieToThisProcess(QProcess &process);
// Kills a process started with tieToThisProcess, with everything it started.
void killProcessGroup(qint64 processId);
// A write into a pipe or socket whose other end died fails with an error
// instead of ending this program (the office's connection writes so).
void surviveBrokenPipes();

// Where an executable lies on PATH, or "".
QString findExecutable(const QString &name);

// Tests replace the starter so that nothing real is launched; the hook gets
// the program and its arguments and answers whether the start succeeded.
using StartHook = std::function<bool(const QString &program, const QStringList &arguments)>;
void setStartHook(StartHook hook);

} // namespace Platform
