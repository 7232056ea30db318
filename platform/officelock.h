#pragma once

#include <QString>

// Whether an office program has a file open for editing, so that writing
// it now would be overwritten by the user's next save there.
namespace Platform {

// Describes the lock that shows the file is open, naming it; empty when
// nothing holds the file. Looks for LibreOffice's lock file beside it
// (".~lock." + name + "#"), for Excel's owner file ("~$" + name), and for a
// lock another process holds on the file itself.
QString officeLock(const QString &path);

} // namespace Platform
