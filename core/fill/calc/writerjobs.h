#pragma once

// Printing and PDF export of word-processor documents through the office of
// the run, one call per document. Failures are thrown as OfficeError.
#include <QString>

#include <com/sun/star/frame/XComponentLoader.hpp>

namespace WriterJobs {

using Loader = css::uno::Reference<css::frame::XComponentLoader>;

// Prints on `printer` ("" for the document's own) and returns once the job
// has been handed to the spooler, so the file may be deleted.
void print(const Loader &loader, const QString &path, const QString &printer);
// Writes the PDF the office renders from the document.
void exportPdf(const Loader &loader, const QString &path, const QString &pdfPath);

} // namespace WriterJobs
