#pragma once

#include <QByteArray>
#include <QMarginsF>
#include <QSizeF>

#include <memory>

class QTextDocument;

// Our own reader for the rich text that word processors save, building
// QTextDocuments for printing: the body (text, tables, pictures, lists,
// footnotes at its end), the header and footer, and the page set-up.
// Anything it does not know is skipped, never fatal, and its time grows
// with the input's length, whatever the input.
namespace RtfReader {

// Stands in a header or footer for the number of the page it is printed on.
constexpr char16_t kPageNumber = 0xE000;

struct PageSetup {
    QSizeF paper;      // in points; empty when the document names none
    QMarginsF margins; // in points
    bool landscape = false;
    qreal headerFromTop = 36, footerFromBottom = 36; // in points
};

struct Document {
    std::unique_ptr<QTextDocument> body, header, footer; // header/footer null when absent
    // The first page's own header and footer (\titlepg), null when absent.
    bool titlePage = false;
    std::unique_ptr<QTextDocument> firstHeader, firstFooter;
    // Left (even) pages' own header and footer (\facingp), null when absent;
    // `header` and `footer` are then the right (odd) pages'.
    bool facingPages = false;
    std::unique_ptr<QTextDocument> leftHeader, leftFooter;
    PageSetup page;
    bool truncated = false; // text past what can be printed in reasonable time was left out
    // Every mark on its pages is a paragraph's text or picture, or a table
    // border drawn apart: no lists, rules or backgrounds of blocks, cells
    // or frames. Such a document is printed paragraph by paragraph.
    bool paragraphsOnly = false;
};

bool looksLikeRtf(const QByteArray &text);

Document readDocument(const QByteArray &rtf);

// Rich text is read as such; anything else is shown as plain text, as a
// rich-text control shows text that is not rich text.
std::unique_ptr<QTextDocument> toDocument(const QByteArray &text);

} // namespace RtfReader
