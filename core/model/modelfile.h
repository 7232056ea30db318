#pragma once

#include "platform/result.h"

#include <QList>
#include <QString>
#include <QStringList>

// The three lists of a model. Each list's size is its count.
struct ModelLists {
    QStringList FieldNames;
    QStringList DocNames;
    QStringList SheetPaths;
    QList<qint16> SheetNumbers; // always as long as SheetPaths

    qint16 FieldCount() const { return static_cast<qint16>(FieldNames.size()); }
    qint16 DocCount() const { return static_cast<qint16>(DocNames.size()); }
    qint16 SheetCount() const { return static_cast<qint16>(SheetPaths.size()); }
    bool operator==(const ModelLists &) const = default;
};

namespace ModelFile {

// The model's file: name + ".mod", or an existing file of the name whose
// extension is ".mod" in another letter case.
QString modelPath(const QString &modelFolder, const QString &modelName);

// Reads a model file whole: a file that fails part way gives only the
// failure, so no caller is left holding half a model.
Result<ModelLists> read(const QString &path);

Status write(const QString &path, const ModelLists &model);

// The names of the models in a folder: every "*.mod" file (extension in any
// letter case) without its extension, once, sorted without regard to case.
// Names that could not be loaded safely are left out.
QStringList listModels(const QString &modelFolder);

} // namespace ModelFile
