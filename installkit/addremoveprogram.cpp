#include "installkit/addremoveprogram.h"

#include "platform/registry.h"

namespace AddRemoveProgram {

QString keyPath(const QString &name)
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + name;
}

void AddToAddRemovePrograms(const QString &name, const QString &uninstallCommand,
                            const std::function<void(const QString &, const QString &)> &report)
{
    const QString key = keyPath(name);
    const bool shown = Platform::setRegistryString(key, QStringLiteral("DisplayName"), name);
    const bool command = Platform::setRegistryString(key, QStringLiteral("UninstallString"), uninstallCommand);
    if (shown && command)
        return;
    report(QStringLiteral("Unable to write ") + Platform::registryFile()
               + QStringLiteral(" occurred while adding program to Add/Remove Program list.\r\n"
                                "Program may require manual uninstall if you decide to remove it."),
           QStringLiteral("Error notice."));
}

void RemoveFromAddRemovePrograms(const QString &name) { Platform::deleteRegistryKey(keyPath(name)); }

} // namespace AddRemoveProgram
