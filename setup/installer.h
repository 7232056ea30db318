#pragma once

#include <QString>

// The install sequence of SetupQLT, apart from its windows.
namespace SETUP1 {

// What the sequence asks of the installer's windows.
class Ui {
public:
    virtual ~Ui() = default;
    // Shows the information text with Install and Cancel; true for Install.
    virtual bool showSetupInformation(const QString &text) = 0;
    // The fallback question when there is no information text; true for Yes.
    virtual bool askToContinue(const QString &text, const QString &title) = 0;
    virtual void message(const QString &text, const QString &title) = 0;
    virtual void showWait() = 0;
    virtual void setWaitCaption(const QString &caption) = 0;
    virtual void setDots(const QString &dots) = 0;
    virtual void processEvents() = 0;
    virtual void closeWait() = 0;
    // Starts the installed program without waiting for it.
    virtual void startProgram(const QString &program, const QString &workingFolder) = 0;
};

struct Folders {
    // The installer's own folder: every payload file is taken from there,
    // whatever the current folder, and only from there deleted again.
    QString sourceFolder;
    QString installFolder;      // ends with "/"
    QString uninstallerFolder;      // ends with "/"
    QString desktopFolder;      // ends with "/"
    QString applicationsFolder; // the application menu's entries, ends with "/"
    // A payload shared by every user (a package's) is never deleted.
    bool keepPayload = false;
};

// The folders for an installer whose program lies in `programFolder`. A
// payload outside the home folder is taken as shared.
Folders foldersFor(const QString &programFolder);

enum class Outcome { Cancelled, Aborted, Completed };

Outcome RunSetup(const Folders &folders, Ui &ui);

// Points the sample model's spreadsheet at the copy in the install folder.
bool pointSampleModelAt(const QString &modelPath, const QString &installFolder);

} // namespace SETUP1
