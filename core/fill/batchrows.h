#pragma once

#include <QString>
#include <QStringList>

// The save-name templates of a batch ("{Last Name}-2024"). The rows come
// from RowList (core/fill/rowlist.h).
namespace BatchRows {

// The names in braces in a save-name template ("{Last Name}-2024").
QStringList placeholders(const QString &pattern);

// The template with each {Name} replaced by value(Name).
template <typename Lookup>
QString expand(const QString &pattern, Lookup value)
{
    QString out;
    qsizetype at = 0;
    while (at < pattern.size()) {
        const qsizetype open = pattern.indexOf(QLatin1Char('{'), at);
        const qsizetype close = open < 0 ? -1 : pattern.indexOf(QLatin1Char('}'), open + 1);
        if (close < 0) {
            out += pattern.mid(at);
            break;
        }
        out += pattern.mid(at, open - at);
        out += value(pattern.mid(open + 1, close - open - 1));
        at = close + 1;
    }
    return out;
}

} // namespace BatchRows
