#include "core/fill/xmlmarkers.h"

#include "core/fill/markers.h"
#include "core/fill/valuetext.h"
#include "core/fill/xmlscan.h"

#include <QHash>

#include <algorithm>

namespace XmlMarkers {

namespace {
using XmlScan::Part;
using XmlScan::Piece;

// One paragraph's visible text, kept beside its pieces.
struct Paragraph {
    std::vector<int> pieces;
    QByteArray text;
    std::vector<int> plain, entity; // fields whose markers it holds

    void rebuild(const std::vector<Piece> &all)
    {
        text.clear();
        for (const int k : pieces)
            text += all[k].text;
    }
};

// Which fields' markers a paragraph holds, found in one pass over its
// ampersands instead of one search per field.
class MarkerIndex {
public:
    explicit MarkerIndex(const QStringList &fieldNames)
    {
        for (int j = 0; j < int(fieldNames.size()); ++j) {
            const QByteArray name = fieldNames[j].toUtf8();
            m_names.push_back(name);
            // A name with an ampersand of its own cannot be told apart by the
            // ampersands around it: such models search field by field.
            m_slow = m_slow || name.isEmpty() || name.contains('&');
            m_fields.insert(name, j);
        }
    }

    void find(Paragraph &para) const
    {
        para.plain.clear();
        para.entity.clear();
        if (m_slow)
            return findEach(para);
        const QByteArray &text = para.text;
        for (qsizetype i = text.indexOf('&'); i >= 0; i = text.indexOf('&', i + 1)) {
            const qsizetype next = text.indexOf('&', i + 1);
            if (next < 0)
                break;
            add(para.plain, text.mid(i + 1, next - i - 1));
            if (QByteArrayView(text).sliced(i).startsWith("&amp;")) {
                const qsizetype close = text.indexOf('&', i + 5);
                if (close >= 0 && QByteArrayView(text).sliced(close).startsWith("&amp;"))
                    add(para.entity, text.mid(i + 5, close - i - 5));
            }
        }
    }

private:
    void add(std::vector<int> &fields, const QByteArray &name) const
    {
        const auto it = m_fields.constFind(name);
        if (it != m_fields.constEnd() && std::find(fields.begin(), fields.end(), *it) == fields.end())
            fields.push_back(*it);
    }

    void findEach(Paragraph &para) const
    {
        for (int j = 0; j < int(m_names.size()); ++j) {
            if (para.text.contains('&' + m_names[j] + '&'))
                para.plain.push_back(j);
            if (para.text.contains("&amp;" + m_names[j] + "&amp;"))
                para.entity.push_back(j);
        }
    }

    std::vector<QByteArray> m_names;
    QHash<QByteArray, int> m_fields;
    bool m_slow = false;
};

// Where `marker` stands in `text`, left to right, not overlapping.
std::vector<qsizetype> occurrences(const QByteArray &text, const QByteArray &marker)
{
    std::vector<qsizetype> at;
    for (qsizetype p = text.indexOf(marker); p >= 0; p = text.indexOf(marker, p + marker.size()))
        at.push_back(p);
    return at;
}

// Replaces the occurrences `at` of `marker` in the paragraph's text by
// `value`, in one pass over the text and its pieces: each value goes into
// the piece where its marker starts, the rest of the marker is cut from
// the pieces it covers, and a value is never searched again for its own
// marker.
void replaceAll(Paragraph &para, std::vector<Piece> &all, const QByteArray &marker, const QByteArray &value,
                const std::vector<qsizetype> &at)
{
    const qsizetype length = marker.size();
    QByteArray text;
    text.reserve(para.text.size() + qsizetype(at.size()) * (value.size() - length));
    qsizetype from = 0;
    for (const qsizetype p : at) {
        text.append(para.text.constData() + from, p - from).append(value);
        from = p + length;
    }
    para.text = text.append(QByteArrayView(para.text).sliced(from));

    size_t m = 0; // the first marker not wholly before the piece
    qsizetype start = 0;
    for (const int k : para.pieces) {
        Piece &piece = all[k];
        const qsizetype end = start + piece.text.size();
        while (m < at.size() && at[m] + length <= start)
            ++m;
        if (m == at.size() || at[m] >= end) { // no marker touches this piece
            start = end;
            continue;
        }
        QByteArray out;
        for (qsizetype i = start; i < end;) {
            while (m < at.size() && at[m] + length <= i)
                ++m;
            if (m < at.size() && at[m] <= i) { // within a marker
                if (at[m] == i)
                    out += value;
                i = std::min(end, at[m] + length);
                continue;
            }
            const qsizetype stop = m < at.size() ? std::min(end, at[m]) : end;
            out.append(piece.text.constData() + (i - start), stop - i);
            i = stop;
        }
        piece.text = out;
        piece.changed = true;
        start = end;
    }
}

// A value as piece text: its line breaks (CR LF, LF or CR) and tabs marked,
// to be written as elements. A value holding a character XML cannot hold
// is refused: written, it would make the document unreadable.
Result<QByteArray> pieceText(const QString &field, const QString &value)
{
    if (const std::optional<char32_t> unfit = ValueText::firstUnfitForXml(value))
        return Failure{ValueText::unfitCharacterText(field, *unfit, QStringLiteral("documents"))};
    const QByteArray utf8 = ValueText::withLineFeeds(value).toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        if (c == '\n' || c == '\t')
            out += XmlScan::kValueMark;
        out += c;
    }
    return out;
}

QByteArray write(const QByteArray &xml, const Part &part, XmlMarkers::Dialect dialect)
{
    QByteArray out;
    out.reserve(xml.size() + 1024);
    qsizetype from = 0;
    for (const Piece &piece : part.pieces) {
        if (!piece.changed)
            continue;
        // Word drops leading and trailing blanks of text not marked to keep
        // them; a value's line break may put blanks at the end of a line.
        const bool keepBlanks = dialect == XmlMarkers::Dialect::Word && piece.tagBegin >= from
            && QByteArrayView(xml.constData() + piece.tagBegin, piece.tagEnd - piece.tagBegin) == QByteArrayView("<w:t>")
            && (piece.text.startsWith(' ') || piece.text.endsWith(' ') || piece.text.contains(XmlScan::kValueMark));
        if (keepBlanks) {
            out.append(xml.constData() + from, piece.tagBegin - from);
            out += "<w:t xml:space=\"preserve\">";
        } else {
            out.append(xml.constData() + from, piece.rawBegin - from);
        }
        if (piece.blanks > 0 && !piece.text.isEmpty())
            // Blanks left of a <text:s/> stay an element: literal ones collapse.
            out += "<text:s text:c=\"" + QByteArray::number(piece.text.size()) + "\"/>";
        else
            out += XmlScan::markup(piece, dialect);
        from = piece.rawEnd;
    }
    out.append(xml.constData() + from, xml.size() - from);
    return out;
}
} // namespace

Result<QByteArray> fill(const QByteArray &xml, Dialect dialect, const QStringList &fieldNames, const QStringList &values)
{
    if (!xml.contains('&'))
        return xml; // no marker can be in a part without an ampersand
    Result<Part> scanned = XmlScan::scan(xml, dialect);
    if (!scanned)
        return scanned.failure();
    Part &part = *scanned;
    // Only paragraphs with an ampersand can hold a marker; values inserted
    // later only go into these.
    std::vector<Paragraph> candidates;
    for (const std::vector<int> &pieces : part.paragraphs) {
        if (!XmlScan::mayHoldMarker(xml, part, pieces))
            continue;
        if (Status decoded = XmlScan::decodePieces(xml, part, pieces); !decoded)
            return decoded.failure();
        Paragraph para{pieces, {}, {}, {}};
        para.rebuild(part.pieces);
        if (para.text.contains('&'))
            candidates.push_back(std::move(para));
    }
    if (candidates.empty())
        return xml;
    const MarkerIndex index(fieldNames);
    for (Paragraph &para : candidates)
        index.find(para);
    const auto holds = [](const std::vector<int> &fields, int j) {
        return std::find(fields.begin(), fields.end(), j) != fields.end();
    };
    bool changed = false;
    qsizetype growth = 0;
    for (int j = 0; j < int(fieldNames.size()); ++j) {
        bool plain = false, entity = false;
        for (const Paragraph &para : candidates) {
            plain = plain || holds(para.plain, j);
            entity = entity || holds(para.entity, j);
        }
        if (!plain && !entity)
            continue;
        const QByteArray name = fieldNames[j].toUtf8();
        const QByteArray marker = plain ? '&' + name + '&' : "&amp;" + name + "&amp;";
        const Result<QByteArray> encoded = pieceText(fieldNames[j], values.value(j));
        if (!encoded)
            return encoded.failure();
        const QByteArray &value = *encoded;
        for (Paragraph &para : candidates) {
            if (!holds(plain ? para.plain : para.entity, j))
                continue;
            const std::vector<qsizetype> at = occurrences(para.text, marker);
            growth += qsizetype(at.size()) * (value.size() - marker.size());
            if (growth > Markers::kMaxGrowth)
                return Failure{Markers::tooMuchGrowth()};
            if (!at.empty())
                replaceAll(para, part.pieces, marker, value, at);
            changed = true;
            index.find(para);
        }
    }
    return changed ? write(xml, part, dialect) : xml;
}

Result<QStringList> paragraphs(const QByteArray &xml, Dialect dialect)
{
    Result<Part> scanned = XmlScan::scan(xml, dialect);
    if (!scanned)
        return scanned.failure();
    Part &part = *scanned;
    QStringList lines;
    for (const std::vector<int> &pieces : part.paragraphs) {
        if (Status decoded = XmlScan::decodePieces(xml, part, pieces); !decoded)
            return decoded.failure();
        QByteArray text;
        for (const int k : pieces)
            text += part.pieces[k].breaker ? QByteArray(" ") : part.pieces[k].text;
        lines << QString::fromUtf8(text);
    }
    return lines;
}

} // namespace XmlMarkers
