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

namespace {
bool isBlank(char16_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r'; }

// The name at `at` is `name`, whose length the caller has compared.
bool sameName(const char16_t *at, QLatin1StringView name)
{
    for (qsizetype k = 0; k < name.size(); ++k)
        if (at[k] != char16_t(uchar(name.data()[k])))
            return false;
    return true;
}
} // namespace

// One pass over the attributes, name by name: a sheet asks three or four of
// every cell tag, and searching the text for each name cost more than the
// rest of the reading.
QStringView Tag::rawAttribute(QLatin1StringView qualifiedName) const
{
    const char16_t *a = attributes.utf16();
    const qsizetype n = attributes.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && isBlank(a[i]))
            ++i;
        if (i >= n)
            return QStringView();
        const qsizetype nameStart = i;
        while (i < n && a[i] > u'=')
            ++i; // letters and ':' or '-'; what may end a name is all below
        while (i < n && a[i] != u'=' && !isBlank(a[i]))
            ++i;
        const qsizetype nameEnd = i;
        while (i < n && isBlank(a[i]))
            ++i;
        if (i >= n || a[i] != u'=')
            return QStringView();
        ++i;
        while (i < n && isBlank(a[i]))
            ++i;
        if (i >= n || (a[i] != u'"' && a[i] != u'\''))
            return QStringView();
        const char16_t quote = a[i++];
        const qsizetype valueStart = i;
        while (i < n && a[i] != quote)
            ++i;
        if (i >= n)
            return QStringView();
        if (nameEnd - nameStart == qualifiedName.size() && sameName(a + nameStart, qualifiedName))
            return attributes.mid(valueStart, i - valueStart);
        ++i;
    }
}

bool TagScanner::next(Tag &tag)
{
    const char16_t *text = m_text.utf16();
    const qsizetype size = m_text.size();
    for (;;) {
        // Tags mostly follow each other closely: a plain loop finds the next
        // one sooner than a library search that is set up for each call.
        qsizetype open = m_pos;
        while (open < size && text[open] != u'<')
            ++open;
        if (open + 1 >= size)
            return false;
        const char16_t first = text[open + 1];
        if (first == u'?' || first == u'!') {
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
        for (; i < size; ++i) {
            const char16_t ch = text[i];
            if (ch > u'>')
                continue; // letters, most of a tag
            if (ch == u'>')
                break;
            if (ch == u'"' || ch == u'\'') {
                ++i;
                while (i < size && text[i] != ch)
                    ++i;
                if (i >= size)
                    break;
            }
        }
        if (i >= size) {
            m_failed = true;
            return false;
        }
        tag.start = open;
        tag.end = i + 1;
        tag.closing = first == u'/';
        tag.empty = text[i - 1] == u'/';
        const qsizetype nameStart = open + (tag.closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < i && !isBlank(text[nameEnd]) && text[nameEnd] != u'/')
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
