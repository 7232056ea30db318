#pragma once

#include <QString>
#include <QStringView>

// A fast pass over the tags of a machine-written XML part (a worksheet of
// some megabytes), giving each tag's place in the text. It checks only what
// it needs; a general XML parser was ten times slower on large sheets.
namespace Native {

struct Tag {
    QStringView name;       // qualified name, e.g. "table:table-row" or "c"
    QStringView attributes; // the text between the name and the closing ">"
    qsizetype start = 0;    // '<'
    qsizetype end = 0;      // just after '>'
    bool closing = false;   // </name>
    bool empty = false;     // <name/>

    // The name without its namespace prefix.
    QStringView localName() const
    {
        const qsizetype at = colon();
        return at < 0 ? name : name.mid(at + 1);
    }
    QStringView prefix() const
    {
        const qsizetype at = colon();
        return at < 0 ? QStringView() : name.left(at + 1);
    }
    // An attribute's value with entities resolved; null when absent.
    QString attribute(QLatin1StringView qualifiedName) const;
    // The raw value, for values that hold no entities (numbers, names).
    QStringView rawAttribute(QLatin1StringView qualifiedName) const;

private:
    // Names are a few characters long: a plain loop beats a library search.
    qsizetype colon() const
    {
        for (qsizetype i = 0; i < name.size(); ++i)
            if (name[i] == u':')
                return i;
        return -1;
    }
};

class TagScanner {
public:
    explicit TagScanner(QStringView text) : m_text(text) {}
    // The next element tag; comments, declarations and the like are passed
    // over. False at the end, or when the text is not well-formed enough
    // (then failed() is true).
    bool next(Tag &tag);
    bool failed() const { return m_failed; }
    qsizetype position() const { return m_pos; }
    // Moves past the element whose start tag was `start`, nested ones
    // included.
    bool skipElement(const Tag &start);
    // The text from `from` up to the next tag, with entities resolved.
    QString textFrom(qsizetype from);

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

// Character data with its entities resolved.
QString unescapeXml(QStringView text);

// A decimal number as QStringView::toInt() reads it, quicker for the plain
// digits that cell references and indexes are.
inline int toNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return text.toInt();
    int value = 0;
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return text.toInt();
        value = value * 10 + (ch.unicode() - u'0');
    }
    return value;
}

} // namespace Native
