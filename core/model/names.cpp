#include "core/model/names.h"

#include "platform/filesystem.h"

namespace Names {

namespace {
// Bytes kept free beside "SAVE-DOC": the longest extension (".docx",
// ".html") and the suffix of a temporary copy (".XXXXXX").
constexpr int kReservedBytes = 16;

bool isDirectionControl(char16_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Characters that take no room: a name holding one looks like another.
bool isInvisible(char16_t c)
{
    return (c >= 0x200B && c <= 0x200D) || (c >= 0x2060 && c <= 0x2064) || c == 0xFEFF || c == 0x180E
        || c == 0x00AD || c == 0x034F || c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0;
}

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
    for (const QChar c : name) {
        if (isDirectionControl(c.unicode()))
            return Problem::DirectionControl;
        if (isInvisible(c.unicode()))
            return Problem::InvisibleCharacter;
    }
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
    case Problem::DirectionControl:
        return QStringLiteral("Names cannot contain right-to-left or other text direction controls: they make a "
                              "name show its letters in another order than it has.");
    case Problem::InvisibleCharacter:
        return QStringLiteral("Names cannot contain zero-width or other invisible characters: they make two "
                              "different names look the same.");
    }
    return QString();
}

QString copyNameRefusal(const QString &saveName, const QString &docName)
{
    const qsizetype bytes = Platform::fileNameBytes(saveName + QLatin1Char('-') + docName);
    const qsizetype limit = Platform::maxFileNameBytes() - kReservedBytes;
    if (bytes <= limit)
        return QString();
    return QStringLiteral("The save name is too long: the copy of \"%1\" would get a file name of %2 bytes before "
                          "its extension, and the file system takes at most %3 there. Please choose a shorter name.")
        .arg(docName)
        .arg(bytes)
        .arg(limit);
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
