#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The uninstall sequence of RemoveQLT, apart from its windows.
namespace Remove {

class Ui {
public:
    virtual ~Ui() = default;
    virtual bool confirm(const QString &text, const QString &title) = 0; // true for Yes
    virtual void message(const QString &text, const QString &title) = 0;
    virtual void showWait() = 0;
    virtual void setDoingWhat(const QString &text) = 0;
    virtual void processEvents() = 0;
    virtual void closeWait() = 0;
};

struct Folders {
    QString drive;          // the root that is mapped, ends with "/"
    QString uninstallerFolder;  // ends with "/"
    QString installFolder;  // ends with "/"
    QString traceFile;
    QString trashFolder;    // entries in here are the user's discarded files, never ours to delete
};

// Aborted: the user said No. Failed: the trace could not be written, so
// nothing was removed.
enum class Outcome { Aborted, Failed, Completed };

// The most folders the mapping records; it stops there and goes on with
// what it has.
constexpr int kMaxFolders = 32767;

Outcome RunRemove(const Folders &folders, Ui &ui);

// Lists the subfolders of a folder; false when it cannot be read.
using Lister = std::function<bool(const QString &folder, QStringList &subfolders)>;

// Breadth-first list of every folder below `root` (root first, each ending
// with "/"). Symbolic links are not followed; a folder that cannot be read
// is kept but not entered. `afterFolder` runs after each folder is listed,
// so the windows can be kept painted during a long walk.
QStringList mapFolders(const QString &root, int limit = kMaxFolders, const Lister &lister = {},
                       const std::function<void()> &afterFolder = {});

// A shortcut to the product: a desktop entry whose Exec starts the
// installed program. Other files of the same name are the user's.
bool isProductShortcut(const QString &path, const QString &installedProgram);

} // namespace Remove
