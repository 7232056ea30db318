#include "core/model/modelpath.h"

#include "core/model/names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ModelPath {

QString absoluteFolder(const QString &folder, const QString &homeFolder)
{
    if (folder.isEmpty())
        return folder;
    QString p = folder;
    if (p == QStringLiteral("~") || p.startsWith(QStringLiteral("~/")))
        p = homeFolder + p.mid(2);
    else if (QDir::isRelativePath(p))
        p = homeFolder + p;
    else
        return folder;
    const QChar last = p.back();
    const bool separatorAtEnd = last == QLatin1Char('/') || last == QLatin1Char('\\');
    QString clean = QDir::cleanPath(p);
    if (separatorAtEnd && !clean.endsWith(last))
        clean += last;
    return clean;
}

Check normalise(const QString &typed, const QString &homeFolder)
{
    Check c;
    QString p = typed;
    if (p.isEmpty()) {
        c.message = QStringLiteral("You must select a path for the model files.");
        return c;
    }
    if (!p.endsWith(QLatin1Char('\\')) && p.contains(QLatin1Char('\\')))
        p += QLatin1Char('\\');
    if (!p.endsWith(QLatin1Char('/')) && p.contains(QLatin1Char('/')))
        p += QLatin1Char('/');
    if (!p.endsWith(QLatin1Char('/')) && !p.endsWith(QLatin1Char('\\'))) {
        c.message = QStringLiteral("Path is not in recognized format.\r\nPath shoudl contain \\ or /.");
        return c;
    }
    if (Names::lineProblem(p) == Names::Problem::ControlCharacter) {
        c.message = QStringLiteral("Path is not in recognized format.\r\n"
                                   "Paths cannot contain line breaks, tabs or other control characters.");
        return c;
    }
    c.ok = true;
    c.path = absoluteFolder(p, homeFolder);
    return c;
}

Status copySampleFiles(const QString &fromFolder, const QString &toFolder)
{
    const QDir to(toFolder);
    if (!QFileInfo(toFolder).isDir())
        return Failure{QStringLiteral("The folder ") + toFolder + QStringLiteral(" does not exist.")};
    const QStringList pattern{QStringLiteral("sample*.*")};
    if (!to.entryList(pattern, QDir::Files | QDir::Hidden).isEmpty())
        return {};
    const QDir from(fromFolder);
    const QStringList files = from.entryList(pattern, QDir::Files | QDir::Hidden);
    for (const QString &name : files) {
        QFile src(from.filePath(name));
        if (!src.copy(to.filePath(name)))
            return Failure{QStringLiteral("Unable to copy ") + name + QStringLiteral(" to ") + toFolder
                           + QStringLiteral(": ") + src.errorString()};
    }
    return {};
}

} // namespace ModelPath
