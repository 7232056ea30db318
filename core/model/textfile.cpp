#include "core/model/textfile.h"

#include "platform/codepage.h"
#include "platform/filesystem.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <limits>

namespace TextFile {

bool readLines(const QString &path, QStringList &lines, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QFileInfo::exists(path) ? f.errorString() : QStringLiteral("File not found");
        return false;
    }
    const QString text = Platform::decodeText(f.readAll());
    lines.clear();
    if (text.isEmpty())
        return true;
    lines = text.split(QLatin1Char('\n'));
    // A trailing line end does not start another line.
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return true;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return Platform::writeFileAtomically(path, Platform::encodeText(text), error);
}

QString numberLine(int value)
{
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(std::abs(value))
        + QLatin1Char(' ');
}

std::optional<qint16> parseNumberLine(const QString &line, QString *error)
{
    const QString t = line.trimmed();
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok) {
        // A run of digits too long for any integer is an overflow, not junk.
        bool digits = !t.isEmpty();
        for (qsizetype i = (t.startsWith(QLatin1Char('-')) ? 1 : 0); i < t.size() && digits; ++i)
            digits = t[i].isDigit();
        if (error)
            *error = digits && t != QStringLiteral("-") ? QStringLiteral("Overflow") : QStringLiteral("Type mismatch");
        return std::nullopt;
    }
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max()) {
        if (error)
            *error = QStringLiteral("Overflow");
        return std::nullopt;
    }
    return static_cast<qint16>(v);
}

} // namespace TextFile
