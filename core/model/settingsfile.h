#pragma once

#include "platform/result.h"

#include <QString>

// qlt.ini in the app folder: line 1 the last model, line 2 the model folder,
// then 33 lines of "0" that older versions reserved and nobody reads.
namespace SettingsFile {

struct Settings {
    QString modelName;
    QString modelFolder;
};

QString settingsPath(const QString &appFolder);

// Missing file: "Sample Model" in the app folder. A second line that is
// empty or "0" (or missing) means the app folder.
Settings read(const QString &appFolder);

Status write(const QString &appFolder, const Settings &settings);

} // namespace SettingsFile
