#pragma once

#include "core/fill/documents.h"

#include <QByteArray>
#include <QString>

class OfficeSession;
class RunContext;

// PDF copies of saved documents, made beside the saved copy when the user
// has asked for them ("Save PDF Copies" in the Configure menu).
namespace PdfCopy {

// The choice, kept in the user's QLT.conf across runs.
bool enabled();
void setEnabled(bool on);

// The saved copy's path with ".pdf" in place of its extension.
inline QString pdfPathFor(const QString &savedPath) { return Documents::pdfPathFor(savedPath); }

// Rich text, plain text or HTML laid out by our own reader on the
// document's page size and margins and written as PDF.
Status renderText(const QByteArray &text, const QString &extension, const QString &pdfPath);

// The PDF copy of a saved document: word-processor packages are exported
// by the office (the session's, when given), everything else is rendered
// in-process.
Status saveBeside(const QString &savedPath, OfficeSession *session = nullptr, RunContext *run = nullptr);

} // namespace PdfCopy
