#pragma once

#include <QByteArray>
#include <QString>

// freedesktop.org desktop entries: the shortcuts of this platform.
namespace Platform {

// An application entry named `name` that starts `program` in `folder`.
QByteArray desktopEntry(const QString &name, const QString &folder, const QString &program, const QString &icon);

// The program the entry's Exec line starts (its first argument, unquoted
// and unescaped), or "" when the entry has none.
QString desktopEntryProgram(const QByteArray &entry);

// The file name of the shortcut called `name` ("Quillmate.desktop").
QString shortcutFileName(const QString &name);

// Places the shortcut file `path` that starts `program` in `folder`; a link
// standing at that name is replaced, not followed. False when it could not
// be written.
bool placeShortcut(const QString &path, const QString &name, const QString &folder, const QString &program,
                   const QString &icon);

} // namespace Platform
