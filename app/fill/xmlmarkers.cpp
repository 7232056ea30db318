#include "app/fill/xmlmarkers.h"

#include "app/fill/xmlscan.h"

namespace XmlMarkers {

namespace {
using XmlScan::Part;
using XmlScan::Piece;

// One paragraph's visible text, kept beside its pieces.
struct Paragraph {
    std::vector<int> pieces;
    QByteArray text;

    void rebuild(const std::vector<Piece> &all)
    {
        text.clear();
        for (const int k : pieces)
            text += all[k].text;
    }
};

// Replaces the marker at `p` of the paragraph's text by `value`: the value
// goes into the piece where the marker starts, the rest of the marker is cut
// from the pieces it covers.
void replaceAt(Paragraph &para, std::vector<Piece> &all, qsizetype p, qsizetype length, const QByteArray &value)
{
    qsizetype start = 0;
    qsizetype markerLeft = length;
    bool placed = false;
    for (const int k : para.pieces) {
        Piece &piece = all[k];
        const qsizetype pieceSize = piece.text.size();
        const qsizetype end = start + pieceSize;
        if (end > p && markerLeft > 0) {
            const qsizetype from = std::max(p - start, qsizetype(0));
            const qsizetype cut = std::min(pieceSize - from, markerLeft);
            piece.text.remove(from, cut);
            if (!placed) {
                piece.text.insert(from, value);
                placed = true;
            }
            piece.changed = true;
            markerLeft -= cut;
        }
        start = end;
        if (markerLeft == 0)
            break;
    }
    para.text.replace(p, length, value);
}

QByteArray sanitised(const QString &value)
{
    // Characters XML cannot hold would make the part unreadable.
    QByteArray out;
    for (const char c : value.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 || c == '\t')
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
        // Word drops leading and trailing blanks of text not marked to keep them.
        const bool keepBlanks = dialect == XmlMarkers::Dialect::Word && piece.tagBegin >= 0
            && xml.mid(piece.tagBegin, piece.tagEnd - piece.tagBegin) == "<w:t>"
            && (piece.text.startsWith(' ') || piece.text.endsWith(' '));
        if (keepBlanks) {
            out.append(xml.constData() + from, piece.tagBegin - from);
            out += "<w:t xml:space=\"preserve\">";
        } else {
            out.append(xml.constData() + from, piece.rawBegin - from);
        }
        out += XmlScan::escape(piece.text);
        from = piece.rawEnd;
    }
    out.append(xml.constData() + from, xml.size() - from);
    return out;
}
} // namespace

QByteArray fill(const QByteArray &xml, Dialect dialect, const QStringList &fieldNames, const QStringList &values)
{
    if (!xml.contains('&'))
        return xml; // no marker can be in a part without an ampersand
    Part part = XmlScan::scan(xml, dialect);
    // Only paragraphs with an ampersand can hold a marker; values inserted
    // later only go into these.
    std::vector<Paragraph> candidates;
    for (const std::vector<int> &pieces : part.paragraphs) {
        Paragraph para{pieces, {}};
        para.rebuild(part.pieces);
        if (para.text.contains('&'))
            candidates.push_back(std::move(para));
    }
    if (candidates.empty())
        return xml;
    bool changed = false;
    for (qsizetype j = 0; j < fieldNames.size(); ++j) {
        const QByteArray name = fieldNames[j].toUtf8();
        QByteArray marker = '&' + name + '&';
        bool found = false;
        for (const Paragraph &para : candidates)
            found = found || para.text.contains(marker);
        if (!found) {
            marker = "&amp;" + name + "&amp;";
            for (const Paragraph &para : candidates)
                found = found || para.text.contains(marker);
        }
        if (!found)
            continue;
        const QByteArray value = sanitised(values.value(j));
        for (Paragraph &para : candidates) {
            qsizetype p = para.text.indexOf(marker);
            while (p >= 0) {
                replaceAt(para, part.pieces, p, marker.size(), value);
                changed = true;
                p = para.text.indexOf(marker, p + value.size());
            }
        }
    }
    return changed ? write(xml, part, dialect) : xml;
}

QStringList paragraphs(const QByteArray &xml, Dialect dialect)
{
    const Part part = XmlScan::scan(xml, dialect);
    QStringList lines;
    for (const std::vector<int> &pieces : part.paragraphs) {
        QByteArray text;
        for (const int k : pieces)
            text += part.pieces[k].breaker ? QByteArray(" ") : part.pieces[k].text;
        lines << QString::fromUtf8(text);
    }
    return lines;
}

} // namespace XmlMarkers
