#pragma once

#include "core/fill/xmlmarkers.h"
#include "core/result.h"

#include <QByteArray>

#include <vector>

// The text pieces of a word-processor XML part, found by one scan over its
// raw bytes (a re-serialising parser would change untouched markup).
namespace XmlScan {

struct Piece {
    qsizetype rawBegin = 0; // the character data in the raw part
    qsizetype rawEnd = 0;
    qsizetype tagBegin = -1; // Word: the enclosing <w:t> start tag
    qsizetype tagEnd = -1;
    QByteArray text;         // decoded, UTF-8, once decodePieces has run
    bool breaker = false;    // a tab or line break: no marker runs across it
    int blanks = 0;          // ODF <text:s/>: the blanks the element stands for
    bool changed = false;
    bool takesBreaks = false; // a line break or tab element may be written into it
};

struct Part {
    std::vector<Piece> pieces;                 // in document order
    std::vector<std::vector<int>> paragraphs;  // piece indices per paragraph
};

// Fails when the markup is damaged. The pieces' text is left undecoded:
// most paragraphs hold no marker and are never looked at again.
Result<Part> scan(const QByteArray &xml, XmlMarkers::Dialect dialect);

// True when the raw text of a paragraph has an ampersand.
bool mayHoldMarker(const QByteArray &xml, const Part &part, const std::vector<int> &paragraph);
// Decodes the text of a paragraph's pieces; fails on damaged markup.
Status decodePieces(const QByteArray &xml, Part &part, const std::vector<int> &paragraph);

// Character data with & < > escaped; characters XML cannot hold are dropped.
QByteArray escape(const QByteArray &utf8);

// In a piece's text, this byte before a line feed or tab marks a value's
// line break or tab, which is written as an element. Decoded document text
// never holds it: a reference to NUL is refused as damage.
constexpr char kValueMark = '\0';

// A changed piece's text as markup: escaped, with each marked line break or
// tab as the dialect's element (Word: the text element is closed and opened
// again around it, in the same run).
QByteArray markup(const Piece &piece, XmlMarkers::Dialect dialect);

// The stand-in text of a breaker piece: never part of a marker.
inline const QByteArray &breakerText()
{
    static const QByteArray text(1, '\0');
    return text;
}

} // namespace XmlScan
