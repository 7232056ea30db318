#pragma once

#include <QString>

// The product's name and small file rules QLT shares.
namespace QLTBas {

inline const QString ProductName = QStringLiteral("Quillmate");

// True when a file (not a folder) of that name exists; hidden files count.
bool FileExists(QString path);

QString versionText(int major, int minor, int revision);

} // namespace QLTBas
