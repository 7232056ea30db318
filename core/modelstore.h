#pragma once

#include "core/result.h"

#include <QString>

struct ModelLists;
class Workspace;

// The current model's file and the settings file, read into and written
// from the workspace. The windows show the failures to the user.
namespace ModelStore {

// Reads model `name` from the model folder into the workspace and records it
// in the settings. A name that is not a model there changes nothing; a file
// that cannot be read whole changes nothing either, and fails with the
// user's message.
Status loadModel(Workspace &workspace, const QString &name);
// Writes `model` as model `name` of `folder`; never outside that folder.
Status saveModel(const ModelLists &model, const QString &folder, const QString &name);
// Writes the current model under its name.
Status saveModel(const Workspace &workspace);
// The model name and folder of the last run.
void loadSettings(Workspace &workspace);
void saveSettings(const Workspace &workspace);

} // namespace ModelStore
