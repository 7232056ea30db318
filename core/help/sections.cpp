#include "core/help/sections.h"

#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>

namespace Sections {

QString fallbackText()
{
    return QStringLiteral("*************  Unable to find instruction file.  *************");
}

QString instructionText(const QString &appFolder)
{
    const QString path = appFolder + QStringLiteral("QLT.txt");
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return fallbackText();
    return Platform::decodeText(f.readAll());
}

QString cut(const QString &text, const QString &startMarker, const QString &endMarker)
{
    QString section = text;
    if (!startMarker.isEmpty()) {
        const qsizetype p = section.indexOf(startMarker);
        if (p >= 0)
            section = section.mid(p);
    }
    if (!endMarker.isEmpty()) {
        const qsizetype q = section.indexOf(endMarker);
        if (q >= 0)
            section = section.left(q);
    }
    return section;
}

} // namespace Sections
