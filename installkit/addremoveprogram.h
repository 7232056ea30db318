#pragma once

#include <QString>

#include <functional>

// The product's record in the machine's list of removable programs. The
// installer writes it, the uninstaller deletes it.
namespace AddRemoveProgram {

QString keyPath(const QString &name);

// Writes DisplayName and UninstallString. A failure is reported once, with
// the "Error notice." message given to `report`, and the install goes on.
void AddToAddRemovePrograms(const QString &name, const QString &uninstallCommand,
                            const std::function<void(const QString &text, const QString &title)> &report);

// Deletes the record; a missing record or a failure is silent.
void RemoveFromAddRemovePrograms(const QString &name);

} // namespace AddRemoveProgram
