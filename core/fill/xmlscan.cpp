#include "core/fill/xmlscan.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace XmlScan {

namespace {
using XmlMarkers::Dialect;

Failure damaged()
{
    return {QStringLiteral("The document's markup is damaged")};
}

bool isNameChar(char c)
{
    return c != '>' && c != '/' && c != ' ' && c != '\t' && c != '\r' && c != '\n';
}

// False for a code that no XML character has.
bool appendUtf8(QByteArray &out, uint code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    const char32_t c = code;
    out += QString::fromUcs4(&c, 1).toUtf8();
    return true;
}

// Character data as text: the five predefined entities and character
// references (no other entity exists without a DTD).
Result<QByteArray> decode(const char *data, qsizetype size)
{
    if (!memchr(data, '&', size_t(size)))
        return QByteArray(data, size);
    QByteArray out;
    out.reserve(size);
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] != '&') {
            const auto *amp = static_cast<const char *>(memchr(data + i, '&', size_t(size - i)));
            const qsizetype run = amp ? amp - (data + i) : size - i;
            out.append(data + i, run);
            i += run - 1;
            continue;
        }
        qsizetype end = i + 1;
        while (end < size && data[end] != ';' && end - i < 12)
            ++end;
        if (end >= size || data[end] != ';')
            return damaged();
        const QByteArrayView name(data + i + 1, end - i - 1);
        if (name == "amp") out += '&';
        else if (name == "lt") out += '<';
        else if (name == "gt") out += '>';
        else if (name == "quot") out += '"';
        else if (name == "apos") out += '\'';
        else if (name.startsWith("#x")) {
            bool ok = false;
            const uint code = name.sliced(2).toByteArray().toUInt(&ok, 16);
            if (!ok || !appendUtf8(out, code)) return damaged();
        } else if (name.startsWith('#')) {
            bool ok = false;
            const uint code = name.sliced(1).toByteArray().toUInt(&ok, 10);
            if (!ok || !appendUtf8(out, code)) return damaged();
        } else {
            return damaged();
        }
        i = end;
    }
    return out;
}

struct Names {
    QByteArray paragraph, heading, text; // text empty: all character data
    std::vector<QByteArray> breakers;
};

const Names &namesOf(Dialect dialect)
{
    static const Names word{"w:p", "w:p", "w:t", {"w:tab", "w:br", "w:cr", "w:ptab", "w:sym"}};
    static const Names odf{"text:p", "text:h", "", {"text:tab", "text:line-break"}};
    return dialect == Dialect::Word ? word : odf;
}

bool same(QByteArrayView name, const QByteArray &wanted)
{
    return name.size() == wanted.size() && memcmp(name.data(), wanted.constData(), size_t(name.size())) == 0;
}

// Whether text right inside `element` may have a line break or tab
// element written into it: in Word only text of <w:t> itself, which is
// closed around it; in ODF the paragraph content, not fields, notes'
// citations or drawing titles, which hold plain text only.
bool takesBreaks(QByteArrayView element, Dialect dialect)
{
    if (dialect == Dialect::Word)
        return same(element, QByteArrayLiteral("w:t"));
    static const QByteArray names[] = {"text:p", "text:h", "text:span", "text:a", "text:meta", "text:meta-field",
                                       "text:ruby-base"};
    return std::any_of(std::begin(names), std::end(names), [element](const QByteArray &n) { return same(element, n); });
}

// The text:c attribute of a <text:s/> element.
int blankCount(QByteArrayView tag)
{
    const qsizetype at = QByteArray(tag.data(), tag.size()).indexOf("text:c=\"");
    if (at < 0)
        return 1;
    qsizetype end = at + 8;
    while (end < tag.size() && tag[end] >= '0' && tag[end] <= '9')
        ++end;
    return QByteArray(tag.data() + at + 8, end - at - 8).toInt();
}

// -1 when the markup ends first.
qsizetype skipPast(const QByteArray &xml, qsizetype from, const char *end)
{
    const qsizetype at = xml.indexOf(end, from);
    if (at < 0)
        return -1;
    return at + qsizetype(qstrlen(end));
}

// The end of a tag starting at `from` ('<'), past its '>'; quoted attribute
// values may hold '>'. -1 when the tag is damaged.
qsizetype tagEnd(const QByteArray &xml, qsizetype from)
{
    const qsizetype size = xml.size();
    for (qsizetype i = from + 1; i < size; ++i) {
        const char c = xml[i];
        if (c == '"' || c == '\'') {
            const qsizetype close = xml.indexOf(c, i + 1);
            if (close < 0)
                return -1;
            i = close;
        } else if (c == '>') {
            return i + 1;
        } else if (c == '<') {
            return -1;
        }
    }
    return -1;
}
} // namespace

Result<Part> scan(const QByteArray &xml, Dialect dialect)
{
    const Names &names = namesOf(dialect);
    Part part;
    part.pieces.reserve(size_t(xml.size() / 128));
    std::vector<int> open; // paragraphs open now, innermost last
    std::vector<QByteArrayView> elements; // the elements open now, innermost last
    qsizetype textTagBegin = -1, textTagEnd = -1;
    bool inText = false;
    const qsizetype size = xml.size();
    qsizetype i = 0;
    while (i < size) {
        if (xml[i] != '<') {
            qsizetype end = xml.indexOf('<', i);
            if (end < 0)
                end = size;
            const bool visible = names.text.isEmpty() || inText;
            if (!open.empty() && visible) {
                Piece piece;
                piece.rawBegin = i;
                piece.rawEnd = end;
                piece.tagBegin = inText ? textTagBegin : -1;
                piece.tagEnd = inText ? textTagEnd : -1;
                piece.takesBreaks = !elements.empty() && takesBreaks(elements.back(), dialect);
                part.paragraphs[open.back()].push_back(int(part.pieces.size()));
                part.pieces.push_back(std::move(piece));
            }
            i = end;
            continue;
        }
        if (i + 1 < size && xml[i + 1] == '!' && qstrncmp(xml.constData() + i, "<!--", 4) == 0) {
            i = skipPast(xml, i + 4, "-->");
            if (i < 0)
                return damaged();
            continue;
        }
        if (i + 1 < size && xml[i + 1] == '!' && qstrncmp(xml.constData() + i, "<![CDATA[", 9) == 0) {
            i = skipPast(xml, i + 9, "]]>");
            if (i < 0)
                return damaged();
            continue;
        }
        if (i + 1 < size && (xml[i + 1] == '?' || xml[i + 1] == '!')) {
            i = skipPast(xml, i + 2, ">");
            if (i < 0)
                return damaged();
            continue;
        }
        const qsizetype end = tagEnd(xml, i);
        if (end < 0)
            return damaged();
        const bool closing = xml[i + 1] == '/';
        const bool empty = !closing && xml[end - 2] == '/';
        qsizetype n = i + (closing ? 2 : 1);
        const qsizetype nameBegin = n;
        while (n < end && isNameChar(xml[n]))
            ++n;
        const QByteArrayView name(xml.constData() + nameBegin, n - nameBegin);
        if (closing && !elements.empty())
            elements.pop_back();
        else if (!closing && !empty)
            elements.push_back(name);
        const bool isParagraph = same(name, names.paragraph) || same(name, names.heading);
        if (closing) {
            if (isParagraph) {
                if (open.empty())
                    return damaged();
                open.pop_back();
            } else if (same(name, names.text)) {
                inText = false;
            }
        } else if (isParagraph) {
            if (!empty) {
                open.push_back(int(part.paragraphs.size()));
                part.paragraphs.emplace_back();
            }
        } else if (!names.text.isEmpty() && same(name, names.text)) {
            inText = !empty;
            textTagBegin = i;
            textTagEnd = end;
        } else if (!open.empty() && dialect == Dialect::OpenDocument && same(name, QByteArrayLiteral("text:s"))) {
            // Blanks written as an element: visible text a marker may run
            // across. The piece covers the element itself.
            Piece piece;
            piece.rawBegin = i;
            piece.rawEnd = end;
            piece.blanks = std::max(1, blankCount(QByteArrayView(xml.constData() + i, end - i)));
            part.paragraphs[open.back()].push_back(int(part.pieces.size()));
            part.pieces.push_back(std::move(piece));
        } else if (!open.empty()) {
            for (const QByteArray &b : names.breakers) {
                if (!same(name, b))
                    continue;
                Piece piece;
                piece.rawBegin = piece.rawEnd = end;
                piece.text = breakerText();
                piece.breaker = true;
                part.paragraphs[open.back()].push_back(int(part.pieces.size()));
                part.pieces.push_back(std::move(piece));
                break;
            }
        }
        i = end;
    }
    if (!open.empty())
        return damaged();
    return part;
}

bool mayHoldMarker(const QByteArray &xml, const Part &part, const std::vector<int> &paragraph)
{
    // A marker's ampersands are written as entities, so the raw text shows them.
    for (const int k : paragraph) {
        const Piece &piece = part.pieces[size_t(k)];
        if (!piece.breaker && piece.blanks == 0 && memchr(xml.constData() + piece.rawBegin, '&', size_t(piece.rawEnd - piece.rawBegin)))
            return true;
    }
    return false;
}

Status decodePieces(const QByteArray &xml, Part &part, const std::vector<int> &paragraph)
{
    for (const int k : paragraph) {
        Piece &piece = part.pieces[size_t(k)];
        if (piece.blanks > 0) {
            piece.text = QByteArray(piece.blanks, ' ');
        } else if (!piece.breaker) {
            Result<QByteArray> text = decode(xml.constData() + piece.rawBegin, piece.rawEnd - piece.rawBegin);
            if (!text)
                return text.failure();
            piece.text = std::move(text).value();
        }
    }
    return {};
}

QByteArray markup(const Piece &piece, Dialect dialect)
{
    if (!piece.text.contains(kValueMark))
        return escape(piece.text);
    const QList<QByteArray> parts = piece.text.split(kValueMark);
    QByteArray out = escape(parts.first());
    for (qsizetype k = 1; k < parts.size(); ++k) {
        const bool lineBreak = parts[k].startsWith('\n');
        if (!lineBreak && !parts[k].startsWith('\t')) { // a stray NUL of a damaged part: dropped
            out += escape(parts[k]);
            continue;
        }
        if (!piece.takesBreaks)
            out += ' ';
        else if (dialect == Dialect::Word)
            out += lineBreak ? "</w:t><w:br/><w:t xml:space=\"preserve\">" : "</w:t><w:tab/><w:t xml:space=\"preserve\">";
        else
            out += lineBreak ? "<text:line-break/>" : "<text:tab/>";
        out += escape(parts[k].mid(1));
    }
    return out;
}

QByteArray escape(const QByteArray &utf8)
{
    QByteArray out;
    out.reserve(utf8.size() + 16);
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            continue;
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace XmlScan
