#pragma once

// What the .docx/.odt fill must keep, shared by the XML-level and the
// package-level fuzz targets: a well-formed part stays well-formed, and no
// marker of a field whose value holds no "&" is left in its paragraphs.

#include "fuzzsupport.h"

#include "core/fill/xmlmarkers.h"

namespace Fuzz {

inline const QStringList &xmlFieldNames()
{
    static const QStringList names{QStringLiteral("First Name"), QStringLiteral("City"), QStringLiteral("Number"),
                                   QStringLiteral("Last Name"), QStringLiteral("Amp")};
    return names;
}

// Values that need escaping. None is empty and none shares a character with
// a field name, so no value can join surrounding text into a new marker;
// only "Amp"'s value holds "&" and may leave one.
inline const QStringList &xmlValues()
{
    static const QStringList values{QStringLiteral("<1>"), QStringLiteral("\"2\" ]]>"), QStringLiteral("3'\u00e9"),
                                    QStringLiteral("4\n5"), QStringLiteral("a & b")};
    return values;
}

inline void checkFilledPart(const QByteArray &before, const QByteArray &after, XmlMarkers::Dialect dialect)
{
    if (!wellFormedXml(before))
        return;
    FUZZ_CHECK(wellFormedXml(after));
    const QStringList names = xmlFieldNames();
    const QStringList values = xmlValues();
    const Result<QStringList> paragraphs = XmlMarkers::paragraphs(after, dialect);
    FUZZ_CHECK(paragraphs.ok());
    for (const QString &paragraph : *paragraphs)
        for (qsizetype j = 0; j < names.size(); ++j)
            FUZZ_CHECK(values[j].contains(QLatin1Char('&'))
                       || !paragraph.contains(QLatin1Char('&') + names[j] + QLatin1Char('&')));
}

} // namespace Fuzz
