#pragma once

#include <QString>

class Workspace;

// Loading and saving the current model and the settings, with the messages
// the user sees when that fails.
void LoadModel(Workspace &workspace, const QString &name);
bool SaveModel(const Workspace &workspace); // false, after telling the user, when nothing was written
void LoadSettings(Workspace &workspace);
void SaveSettings(const Workspace &workspace);

// Keeps the event loop turning until a modeless dialog says it is done
// (SetDialogDone). A nested call, while another command still waits,
// returns at once.
void WaitForDialog(Workspace &workspace);
void SetDialogDone(Workspace &workspace);
