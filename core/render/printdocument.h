#pragma once

#include "core/render/rtfreader.h"

#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;

// What the "Faster" print method puts on paper, without any window: a
// document file made into pages of the page set-up it asks for, with its
// header and footer on every page.
namespace PrintDocument {

// Rich text is read by our reader, HTML (by the file's extension) is
// rendered, anything else is printed as plain text.
RtfReader::Document forFile(const QByteArray &text, const QString &fileName);

// The page layout of a page set-up; a document that names no paper size
// gets `fallback`. Margins are kept even where a printer cannot print.
QPageLayout pageLayout(const RtfReader::PageSetup &page, const QPageSize &fallback);

// Lays out the document for `device`, whose page layout is already set,
// and paints every page. Returns the number of pages.
int paint(RtfReader::Document &document, QPagedPaintDevice *device);

} // namespace PrintDocument
