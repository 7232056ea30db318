#include "core/fill/tagscan.h"

namespace Native {

QString unescapeXml(QStringView text)
{
    if (!text.contains(QLatin1Char('&')))
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text[i];
        const qsizetype semicolon = ch == QLatin1Char('&') ? text.indexOf(QLatin1Char(';'), i) : -1;
        if (semicolon < 0) {
            out += ch;
            ++i;
            continue;
        }
        const QStringView entity = text.mid(i + 1, semicolon - i - 1);
        if (entity == QLatin1String("amp"))
            out += QLatin1Char('&');
        else if (entity == QLatin1String("lt"))
            out += QLatin1Char('<');
        else if (entity == QLatin1String("gt"))
            out += QLatin1Char('>');
        else if (entity == QLatin1String("quot"))
            out += QLatin1Char('"');
        else if (entity == QLatin1String("apos"))
            out += QLatin1Char('\'');
        else if (entity.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = entity.startsWith(QLatin1String("#x")) ? entity.mid(2).toUInt(&ok, 16)
                                                                      : entity.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        } else {
            out += text.mid(i, semicolon - i + 1);
        }
        i = semicolon + 1;
    }
    return out;
}

QString Tag::attribute(QLatin1StringView qualifiedName) const
{
    const QStringView raw = rawAttribute(qualifiedName);
    return raw.isNull() ? QString() : unescapeXml(raw);
}

QStringView Tag::rawAttribute(QLatin1StringView qualifiedName) const
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = attributes.indexOf(qualifiedName, from);
        if (at < 0)
            return QStringView();
        from = at + 1;
        const qsizetype eq = at + qualifiedName.size();
        if ((at > 0 && !attributes[at - 1].isSpace()) || eq + 1 >= attributes.size() ||
            attributes[eq] != QLatin1Char('='))
            continue;
        const QChar quote = attributes[eq + 1];
        const qsizetype close = attributes.indexOf(quote, eq + 2);
        if (close < 0)
            return QStringView();
        return attributes.mid(eq + 2, close - eq - 2);
    }
}

bool TagScanner::next(Tag &tag)
{
    for (;;) {
        const qsizetype open = m_text.indexOf(QLatin1Char('<'), m_pos);
        if (open < 0 || open + 1 >= m_text.size())
            return false;
        const QChar first = m_text[open + 1];
        if (first == QLatin1Char('?') || first == QLatin1Char('!')) {
            const bool comment = m_text.mid(open, 4) == QLatin1String("<!--");
            const bool cdata = m_text.mid(open, 9) == QLatin1String("<![CDATA[");
            const qsizetype close = comment ? m_text.indexOf(QLatin1String("-->"), open)
                                    : cdata ? m_text.indexOf(QLatin1String("]]>"), open)
                                            : m_text.indexOf(QLatin1Char('>'), open);
            if (close < 0) {
                m_failed = true;
                return false;
            }
            m_pos = close + 1;
            continue;
        }
        // A '>' inside a quoted attribute value would end the tag too soon:
        // the search goes past quotes.
        qsizetype i = open + 1;
        QChar quote;
        for (; i < m_text.size(); ++i) {
            const QChar ch = m_text[i];
            if (!quote.isNull()) {
                if (ch == quote)
                    quote = QChar();
            } else if (ch == QLatin1Char('"') || ch == QLatin1Char('\'')) {
                quote = ch;
            } else if (ch == QLatin1Char('>')) {
                break;
            }
        }
        if (i >= m_text.size()) {
            m_failed = true;
            return false;
        }
        tag.start = open;
        tag.end = i + 1;
        tag.closing = first == QLatin1Char('/');
        tag.empty = m_text[i - 1] == QLatin1Char('/');
        qsizetype nameStart = open + (tag.closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < i && !m_text[nameEnd].isSpace() && m_text[nameEnd] != QLatin1Char('/'))
            ++nameEnd;
        tag.name = m_text.mid(nameStart, nameEnd - nameStart);
        tag.attributes = m_text.mid(nameEnd, (tag.empty ? i - 1 : i) - nameEnd);
        m_pos = tag.end;
        return true;
    }
}

bool TagScanner::skipElement(const Tag &start)
{
    if (start.empty)
        return true;
    int depth = 1;
    Tag tag;
    while (depth > 0 && next(tag)) {
        if (tag.closing)
            --depth;
        else if (!tag.empty)
            ++depth;
    }
    return depth == 0;
}

QString TagScanner::textFrom(qsizetype from)
{
    qsizetype to = m_text.indexOf(QLatin1Char('<'), from);
    if (to < 0)
        to = m_text.size();
    return unescapeXml(m_text.mid(from, to - from));
}

} // namespace Native
