#pragma once

#include <QString>

// Where things live on this operating system. Every folder path ends with
// one separator, so callers can append a file name directly.
namespace Platform {

QString pathSeparator();      // "/" here, "\\" on Windows
QString homeDrive();          // the root the uninstaller maps: the home folder
QString appFolder();          // the install and app folder
QString windowsFolder();      // where the uninstaller is placed
QString systemFolder();       // shared libraries: nothing is placed there on this platform
QString documentsFolder();    // the user's documents folder
QString specialFolder(int folderId); // shell special folders; "" when there is none
QString desktopFolder();      // where the desktop entry goes
QString configFolder();       // per-user configuration root
QString dataFolder();         // per-user data root (XDG_DATA_HOME)
QString applicationsFolder(); // where the application menu's entries go
QString trashFolder();        // the desktop's trash

QString withTrailingSeparator(const QString &folder);

} // namespace Platform
