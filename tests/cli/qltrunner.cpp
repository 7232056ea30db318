#include "tests/cli/qltrunner.h"

#include "core/model/modelfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <memory>
#include <vector>

QStringList QltResult::outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

namespace {
void prepare(QProcess &qlt, const QString &workingFolder, const QStringList &unset)
{
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
}

QltResult finish(QProcess &qlt)
{
    QltResult result;
    if (!qlt.waitForFinished(120000) || qlt.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = qlt.exitCode();
    result.out = QString::fromUtf8(qlt.readAllStandardOutput());
    result.err = QString::fromUtf8(qlt.readAllStandardError());
    return result;
}
} // namespace

QltResult runQlt(const QStringList &arguments, const QString &workingFolder, const QStringList &unset)
{
    QProcess qlt;
    prepare(qlt, workingFolder, unset);
    qlt.start(QStringLiteral(QLT_BINARY), arguments);
    return finish(qlt);
}

QList<QltResult> runQltTogether(const QList<QStringList> &argumentLists)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    // All started before any is waited for.
    for (const QStringList &arguments : argumentLists) {
        processes.push_back(std::make_unique<QProcess>());
        prepare(*processes.back(), QString(), {});
        processes.back()->start(QStringLiteral(QLT_BINARY), arguments);
    }
    QList<QltResult> results;
    for (const auto &process : processes)
        results << finish(*process);
    return results;
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
    return ModelFile::write(ModelFile::modelPath(home.appFolder(), name), model).ok();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
