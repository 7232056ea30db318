#pragma once

#include <QString>

// Loading and saving the current model and the settings, with the messages
// the user sees when that fails.
void LoadModel(const QString &name);
bool SaveModel(); // false, after telling the user, when nothing was written
void LoadSettings();
void SaveSettings();

// Keeps the event loop turning until a modeless dialog says it is done
// (SetDialogDone). A nested call, while another command still waits,
// returns at once.
void WaitForDialog();
void SetDialogDone();
