#pragma once

#include "core/fill/runcontext.h"
#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Documents {

enum class PrintMethod { Faster, HigherQuality };

// How a filled document reaches the printer. Both answer only when the
// document has been handed over, or with the reason it was not.
class Printing {
public:
    virtual ~Printing() = default;
    // Renders the filled text (rich text, or plain text) and prints it.
    virtual Status printText(const QByteArray &text, const QString &title) = 0;
    // Prints a file through the program that handles its type.
    virtual Status printFile(const QString &path) = 0;
};

struct Request {
    QString name;            // the document name
    bool print = false;
    bool save = false;
    PrintMethod method = PrintMethod::Faster;
    QString saveName;
};

struct Folders {
    QString modelFolder;
    QString appFolder;
    QString saveFolder;
};

// A name that could reach outside its folder ("a/b", "..") is never used to
// build a path.
bool isSafeName(const QString &name);

// Whether a file can be a document to fill: never an editor backup ("~",
// ".bak") or a temporary file of ours, and never binary content (NUL bytes,
// a PDF, image, old Word or zip signature near the start) unless
// canFillBinary knows its format. Text fills under any extension.
bool isFillableDocument(const QString &folder, const QString &fileName);
bool canFillBinary(const QString &fileName, const QByteArray &head);

// The file of a document in the model folder, without folder, or "": the
// fillable files named after the document; another format beside a
// ".rtf" wins.
QString FindDocumentFile(const QString &modelFolder, const QString &docName);

// A saved copy's path with ".pdf" in place of its extension.
QString pdfPathFor(const QString &savedPath);
// The part of a file name from its last "." on, or "".
QString extensionOf(const QString &fileName);

// Fills one document and prints and/or saves it.
Status ProcessDocument(const Request &request, const Folders &folders, const QStringList &fieldNames,
                       RunContext &run, Printing &printing);

} // namespace Documents
