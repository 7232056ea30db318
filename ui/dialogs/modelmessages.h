#pragma once

#include <QString>

class Workspace;

// Reading and writing the current model from a window: a failure is shown
// to the user with the scriptable message box.
void loadModelTellingUser(Workspace &workspace, const QString &name);
bool saveModelTellingUser(const Workspace &workspace); // false when nothing was written
