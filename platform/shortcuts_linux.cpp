#include "platform/shortcuts.h"

#include "platform/filesystem.h"

#include <QFileInfo>
#include <QStringList>

namespace Platform {

namespace {
// The escapes every string value may carry; other values hold no line break.
QString escapeValue(const QString &value)
{
    QString v = value;
    return v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
}

QString unescapeValue(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar c = value[++i];
        if (c == QLatin1Char('s'))
            out += QLatin1Char(' ');
        else if (c == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (c == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (c == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += c;
    }
    return out;
}

// One Exec argument in double quotes; the quoting rule applies inside the
// string escapes, and a literal "%" is doubled so it is no field code.
QString execArgument(const QString &path)
{
    QString q;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            q += QLatin1Char('\\');
        q += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return escapeValue(QLatin1Char('"') + q + QLatin1Char('"'));
}
} // namespace

QByteArray desktopEntry(const QString &name, const QString &folder, const QString &program, const QString &icon)
{
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
    text += QStringLiteral("Name=") + escapeValue(name) + QLatin1Char('\n');
    text += QStringLiteral("Comment=Fill in recurring paperwork\n");
    text += QStringLiteral("Exec=") + execArgument(program) + QLatin1Char('\n');
    text += QStringLiteral("Path=") + escapeValue(folder) + QLatin1Char('\n');
    text += QStringLiteral("Icon=") + escapeValue(icon) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\nCategories=Office;\n");
    return text.toUtf8();
}

QString desktopEntryProgram(const QByteArray &entry)
{
    bool inMainGroup = false;
    for (const QString &rawLine : QString::fromUtf8(entry).split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || eq < 0 || line.left(eq).trimmed() != QStringLiteral("Exec"))
            continue;
        const QString exec = unescapeValue(line.mid(eq + 1).trimmed());
        QString program;
        if (exec.startsWith(QLatin1Char('"'))) {
            for (qsizetype i = 1; i < exec.size() && exec[i] != QLatin1Char('"'); ++i) {
                if (exec[i] == QLatin1Char('\\') && i + 1 < exec.size())
                    ++i;
                program += exec[i];
            }
        } else {
            program = exec.section(QLatin1Char(' '), 0, 0);
        }
        return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    return QString();
}

QString shortcutFileName(const QString &name) { return name + QStringLiteral(".desktop"); }

bool placeShortcut(const QString &path, const QString &name, const QString &folder, const QString &program,
                   const QString &icon)
{
    const QByteArray entry = desktopEntry(name, folder, program, icon);
    if (!makeFolder(QFileInfo(path).absolutePath()) || !writeFileAtomically(path, entry))
        return false;
    return makeExecutable(path); // desktops trust only executable entries
}

} // namespace Platform
