#include "core/fill/valuetext.h"

namespace ValueText {

std::optional<char32_t> firstUnfitForXml(const QString &value)
{
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = value.at(i).unicode();
        if (u >= 0x20 && u < 0xD800)
            continue; // nearly every character: checked first
        if (u == u'\t' || u == u'\n' || u == u'\r')
            continue;
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(value.at(i + 1).unicode())) {
            ++i; // a pair: U+10000 and above are all fine
            continue;
        }
        if (u < 0x20 || u == 0xFFFE || u == 0xFFFF || QChar::isSurrogate(u))
            return char32_t(u);
    }
    return std::nullopt;
}

QString unfitCharacterText(const QString &field, char32_t character, const QString &holders)
{
    const QString value = field.isEmpty() ? QStringLiteral("The value") : QStringLiteral("The value of the field ") + field;
    return value + QStringLiteral(" holds a character that ") + holders + QStringLiteral(" cannot hold (U+") +
           QStringLiteral("%1").arg(uint(character), 4, 16, QLatin1Char('0')).toUpper() + QLatin1Char(')');
}

QString withLineFeeds(const QString &value)
{
    if (!value.contains(QLatin1Char('\r')))
        return value;
    QString out = value;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

} // namespace ValueText
