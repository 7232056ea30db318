#pragma once

#include <QString>

// The machine's record of removable programs. On this platform the key path
// and values live in an INI file, so the installer and uninstaller can agree
// on it exactly as they would on the registry.
namespace Platform {

QString registryFile();

// Sets a string value under the key, creating the key when needed. Answers
// false when the store could not be written.
bool setRegistryString(const QString &keyPath, const QString &valueName, const QString &value);
QString registryString(const QString &keyPath, const QString &valueName);
bool registryKeyExists(const QString &keyPath);
// Deletes the key with its values; answers false when it did not exist.
bool deleteRegistryKey(const QString &keyPath);

} // namespace Platform
