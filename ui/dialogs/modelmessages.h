#pragma once

#include <QString>

class Workspace;

// Reading and writing the current model from a window: a failure is shown
// to the user with the scriptable message box.
bool loadModelTellingUser(Workspace &workspace, const QString &name); // false when the model stays
bool saveModelTellingUser(const Workspace &workspace); // false when nothing was written
