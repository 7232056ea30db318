// The rich-text reader takes any bytes and the document it builds can be
// laid out on pages, as the "Faster" print does. Slow inputs are findings
// too: the run script gives each input two seconds.

#include "fuzzsupport.h"

#include "core/render/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
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
    return 0;
}
