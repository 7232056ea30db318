#pragma once

#include <QString>
#include <QStringList>

// Where things live on this operating system. Every folder path ends with
// one separator, so callers can append a file name directly.
namespace Platform {

QString homeDrive();          // the root the uninstaller maps: the home folder
QString appFolder();          // the install and app folder
QString uninstallerFolder();  // where the uninstaller is placed
QString documentsFolder();    // the user's documents folder
QString sharedDocumentsFolder(); // the documents folder all users share; "" when there is none
QString desktopFolder();      // where the desktop entry goes
QString configFolder();       // per-user configuration root
QString dataFolder();         // per-user data root (XDG_DATA_HOME)
QString applicationsFolder(); // where the application menu's entries go
QString trashFolder();        // the desktop's trash

QString withTrailingSeparator(const QString &folder);

// The file name of a module QLT loads at run time ("qltcalc" -> "qltcalc.so").
QString moduleFileName(const QString &baseName);

// The folder of the running program, found before any application object
// exists (the modules it loads sit beside it). Links to the program are
// followed to the program itself.
QString programFolder();
// The roots a folder picker offers: the home drive first.
QStringList driveRoots();

} // namespace Platform
