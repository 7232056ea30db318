#include "core/model/textfile.h"

#include "platform/codepage.h"
#include "platform/filesystem.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <limits>

namespace TextFile {

Result<QStringList> readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Failure{QFileInfo::exists(path) ? f.errorString() : QStringLiteral("File not found")};
    const QString text = Platform::decodeText(f.readAll());
    if (text.isEmpty())
        return QStringList();
    QStringList lines = text.split(QLatin1Char('\n'));
    // A trailing line end does not start another line.
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

Status writeLines(const QString &path, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return Platform::writeFileAtomically(path, Platform::encodeText(text));
}

QString numberLine(int value)
{
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(std::abs(value))
        + QLatin1Char(' ');
}

Result<qint16> parseNumberLine(const QString &line)
{
    const QString t = line.trimmed();
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok) {
        // A run of digits too long for any integer is an overflow, not junk.
        bool digits = !t.isEmpty();
        for (qsizetype i = (t.startsWith(QLatin1Char('-')) ? 1 : 0); i < t.size() && digits; ++i)
            digits = t[i].isDigit();
        return Failure{digits && t != QStringLiteral("-") ? QStringLiteral("Overflow") : QStringLiteral("Type mismatch")};
    }
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        return Failure{QStringLiteral("Overflow")};
    return static_cast<qint16>(v);
}

} // namespace TextFile
