#pragma once

#include "platform/result.h"

#include <QString>

// Exporting a document to PDF through the office suite.
namespace Platform {

// Writes `pdfPath` from `documentPath` as the office renders it; a failure
// says what went wrong (no office, a failed export). An existing file at
// `pdfPath` is replaced only once the export has succeeded.
Status exportPdf(const QString &documentPath, const QString &pdfPath);

// Puts a PDF made from `documentPath` in a folder of its own at `pdfPath`,
// once it is there and not empty.
Status placePdf(const QString &made, const QString &documentPath, const QString &pdfPath);

} // namespace Platform
