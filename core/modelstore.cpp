#include "core/modelstore.h"
#include "core/workspace.h"

#include "core/model/modelpath.h"
#include "core/model/names.h"
#include "core/model/qltbas.h"
#include "core/model/settingsfile.h"
#include "platform/folders.h"

#include <QDir>

namespace ModelStore {

Status loadModel(Workspace &s, const QString &name)
{
    // A name that could lead out of the model folder has no model file.
    if (!Names::isSafeName(name))
        return {};
    const QString path = ModelFile::modelPath(s.ModelFolder, name);
    if (!QLTBas::FileExists(path))
        return {};

    Result<ModelLists> read = ModelFile::read(path);
    // A model that cannot be read whole is not taken: the current one stays,
    // so nothing half-read can be filled from or saved over the file.
    if (!read)
        return Failure{read.error() + QStringLiteral(" while loading model.\r\nUnable to load complete model.")};
    ModelLists model = std::move(read).value();
    // Spreadsheets are used by their full path: a relative one is taken from
    // the model folder, never from the program's current folder.
    for (QString &sheet : model.SheetPaths)
        if (!sheet.isEmpty() && QDir::isRelativePath(sheet))
            sheet = QDir::cleanPath(QDir(s.ModelFolder).absoluteFilePath(sheet));
    s.setModel(model);
    saveSettings(s);
    return {};
}

Status saveModel(const ModelLists &model, const QString &folder, const QString &name)
{
    QString error;
    // The last guard: no model file is ever written outside the model folder.
    if (const Names::Problem problem = Names::fileNameProblem(name); problem != Names::Problem::None)
        error = QStringLiteral("The model name cannot be used. ") + Names::refusal(problem);
    else if (const Status written = ModelFile::write(ModelFile::modelPath(folder, name), model); written)
        return {};
    else
        error = written.error();
    return Failure{error + QStringLiteral(" occurred saving model file.\r\nNo model saved.")};
}

Status saveModel(const Workspace &s) { return saveModel(s, s.ModelFolder, s.ModelName); }

void loadSettings(Workspace &s)
{
    const SettingsFile::Settings settings = SettingsFile::read(s.AppFolder);
    // The file may have been edited by hand: a model name that could lead out
    // of the model folder means no current model, and a relative folder is
    // taken from the home folder.
    s.ModelName = Names::isSafeName(settings.modelName) ? settings.modelName : QString();
    s.ModelFolder = ModelPath::absoluteFolder(settings.modelFolder, Platform::homeDrive());
    // File paths are folder + name: a folder without its separator would put
    // the model files beside the folder instead of in it.
    if (!s.ModelFolder.endsWith(QLatin1Char('/')) && !s.ModelFolder.endsWith(QLatin1Char('\\')))
        s.ModelFolder += QLatin1Char('/');
}

void saveSettings(const Workspace &s)
{
    // A settings file that cannot be written only costs the user the choice
    // of model at the next start, so it is not worth a message.
    (void)SettingsFile::write(s.AppFolder, {s.ModelName, s.ModelFolder});
}

} // namespace ModelStore
