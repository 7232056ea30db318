#include "core/model/names.h"

namespace Names {

namespace {
bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}
} // namespace

Problem lineProblem(const QString &text)
{
    if (text.isEmpty())
        return Problem::Empty;
    for (const QChar c : text)
        if (isControl(c))
            return Problem::ControlCharacter;
    return Problem::None;
}

Problem fileNameProblem(const QString &name)
{
    const Problem line = lineProblem(name);
    if (line != Problem::None)
        return line;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return Problem::Separator;
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return Problem::DotName;
    return Problem::None;
}

bool isSafeName(const QString &name) { return fileNameProblem(name) == Problem::None; }

QString refusal(Problem problem)
{
    switch (problem) {
    case Problem::None: return QString();
    case Problem::Empty: return QStringLiteral("Names cannot be empty.");
    case Problem::Separator: return QStringLiteral("Names cannot contain / or \\.");
    case Problem::DotName: return QStringLiteral("Names cannot be . or ..");
    case Problem::ControlCharacter:
        return QStringLiteral("Names cannot contain line breaks, tabs or other control characters.");
    }
    return QString();
}

QString singleLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return text;
}

} // namespace Names
