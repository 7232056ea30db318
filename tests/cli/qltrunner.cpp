#include "tests/cli/qltrunner.h"

#include "core/model/modelfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>

QStringList QltResult::outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

QltResult runQlt(const QStringList &arguments, const QString &workingFolder, const QStringList &unset)
{
    QProcess qlt;
    // The process takes the test's environment, home folder included.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A desktop session has a runtime folder; without one the GUI library
    // warns on standard error, which the tests read.
    const QString runtime = environment.value(QStringLiteral("HOME")) + QStringLiteral("/.runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    for (const QString &name : unset)
        environment.remove(name);
    qlt.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty())
        qlt.setWorkingDirectory(workingFolder);
    qlt.start(QStringLiteral(QLT_BINARY), arguments);
    QltResult result;
    if (!qlt.waitForFinished(120000) || qlt.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = qlt.exitCode();
    result.out = QString::fromUtf8(qlt.readAllStandardOutput());
    result.err = QString::fromUtf8(qlt.readAllStandardError());
    return result;
}

bool writeModel(const TestHome &home, const QString &name, const QStringList &fields, const QStringList &documents,
                const QStringList &sheets)
{
    ModelLists model;
    model.FieldNames = fields;
    model.DocNames = documents;
    for (const QString &sheet : sheets) {
        model.SheetPaths << sheet;
        model.SheetNumbers << 1;
    }
    return ModelFile::write(ModelFile::modelPath(home.appFolder(), name), model, nullptr);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
