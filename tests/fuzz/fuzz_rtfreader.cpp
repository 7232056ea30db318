// The rich-text reader takes any bytes and the document it builds can be
// laid out on pages and printed, as the "Faster" print does: headers,
// table borders and paragraphs drawn page by page. Slow inputs are
// findings too: the run script gives each input two seconds.

#include "fuzzsupport.h"

#include "core/render/printdocument.h"
#include "core/render/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Layout needs fonts, so a GUI application without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::unique_ptr<QTextDocument> doc = RtfReader::toDocument(bytes);
    FUZZ_CHECK(doc != nullptr);
    doc->setPageSize(QSizeF(794, 1123)); // A4 at 96 dpi
    FUZZ_CHECK(doc->pageCount() >= 1);
    FUZZ_CHECK(doc->documentLayout()->documentSize().height() >= 0);

    // Printing small inputs of a few pages: the fuzzer varies those, and
    // printing every large seed's mutants would leave it little time for
    // anything but the PDF writer.
    constexpr int kPrintedPages = 12;
    constexpr qsizetype kPrintedBytes = 16 * 1024;
    if (!RtfReader::looksLikeRtf(bytes) || bytes.size() > kPrintedBytes || doc->pageCount() > kPrintedPages)
        return 0;
    RtfReader::Document printed = RtfReader::readDocument(bytes);
    if (printed.truncated)
        return 0;
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setPageLayout(PrintDocument::pageLayout(printed.page, QPageSize(QPageSize::A4)));
    FUZZ_CHECK(PrintDocument::paint(printed, &writer) >= 1);
    return 0;
}
