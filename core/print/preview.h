#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class OfficeSession;
class RunContext;

// A document filled with the current values, as the pages it would print,
// without printing or saving anything: the bytes of a PDF held in memory.
namespace Preview {

struct Request {
    QString documentName;  // a model document, looked up in the model folder
    QString modelFolder;
    QStringList fieldNames;
    QStringList values;    // values[j - 1] is typed for field j
};

// Whether the document's pages come from the office (.docx, .odt) rather
// than from our own renderer.
bool needsOffice(const QString &modelFolder, const QString &documentName);

// Rich text, plain text and HTML are laid out exactly as the "Faster" print
// lays them out for the default printer; packages are exported by the
// office (the session's when given; `waits` shows the wait for it). Every
// temporary file lives in a private folder that is gone on return.
Result<QByteArray> pages(const Request &request, OfficeSession *session = nullptr, RunContext *waits = nullptr);

} // namespace Preview
