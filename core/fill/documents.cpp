#include "core/fill/documents.h"

#include "core/fill/markers.h"
#include "core/fill/packagedfill.h"
#include "core/fill/rtfmarkers.h"
#include "core/fill/scratchfile.h"
#include "core/model/names.h"
#include "platform/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Documents {

namespace {
// How much of a file tells whether it is text.
constexpr qint64 kSniffLength = 8192;

Result<QByteArray> readWhole(const QString &path, RunContext &run, const QString &name)
{
    QFile f(path);
    run.step(QStringLiteral("openning ") + name);
    if (!f.open(QIODevice::ReadOnly))
        return Failure{f.errorString()};
    run.step(QStringLiteral("getting size of ") + name);
    const qint64 size = f.size();
    run.step(QStringLiteral("loading ") + name);
    const QByteArray bytes = f.read(size);
    if (bytes.size() != size)
        return Failure{f.errorString().isEmpty() ? QStringLiteral("Input past end of file") : f.errorString()};
    return bytes;
}

Status writeWhole(const QString &path, const QByteArray &bytes)
{
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return Failure{QStringLiteral("Path not found")};
    return Platform::writeFileAtomically(path, bytes);
}

bool looksBinary(const QByteArray &head)
{
    static const QByteArray signatures[] = {
        QByteArray("\x89PNG\r\n\x1a\n"),             // PNG
        QByteArray("\xff\xd8\xff"),                    // JPEG
        QByteArray("GIF87a"), QByteArray("GIF89a"),     // GIF
        QByteArray("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"), // OLE2: old Word, Excel
        QByteArray("PK\x03\x04"), QByteArray("PK\x05\x06"), // zip packages
    };
    if (head.contains('\0'))
        return true;
    for (const QByteArray &signature : signatures)
        if (head.startsWith(signature))
            return true;
    // A PDF's header may follow a line of other bytes, within its first 1 KB.
    const QByteArray start = head.left(1024);
    return start.startsWith("%PDF-") || start.contains("\n%PDF-") || start.contains("\r%PDF-");
}

} // namespace

bool isSafeName(const QString &name) { return Names::isSafeName(name); }

QString pdfPathFor(const QString &savedPath)
{
    const QFileInfo info(savedPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return info.absolutePath() + QLatin1Char('/') + (dot < 0 ? name : name.left(dot)) + QStringLiteral(".pdf");
}

QString extensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot);
}

bool canFillBinary(const QString &fileName, const QByteArray &head)
{
    // Office packages (.docx, .odt) are zip files that the package fill reads.
    // An encrypted one is no zip, but still theirs: the fill reports why it cannot open it.
    Q_UNUSED(head);
    return PackagedFill::isPackage(extensionOf(fileName));
}

bool isFillableDocument(const QString &folder, const QString &fileName)
{
    const QString lower = fileName.toLower();
    if (lower.endsWith(QLatin1Char('~')) || lower.endsWith(QStringLiteral(".bak"))
        || Platform::isOwnTemporaryFile(fileName))
        return false;
    QFile f(folder + fileName);
    if (!f.open(QIODevice::ReadOnly))
        return true; // reading it later reports why it cannot be read
    const QByteArray head = f.read(kSniffLength);
    return !looksBinary(head) || canFillBinary(fileName, head);
}

QString FindDocumentFile(const QString &modelFolder, const QString &docName)
{
    if (!isSafeName(docName))
        return QString();
    const QString prefix = docName + QLatin1Char('.');
    QStringList names;
    const QFileInfoList entries = QDir(modelFolder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : entries)
        if (fi.fileName().startsWith(prefix, Qt::CaseInsensitive) && isFillableDocument(modelFolder, fi.fileName()))
            names << fi.fileName();
    // The order the Windows file system lists names in: by upper case, so
    // the choice below is the same on every machine.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.toUpper().compare(b.toUpper());
        return c != 0 ? c < 0 : a < b;
    });
    if (names.isEmpty())
        return QString();
    // A rich-text document saved again in another format under the same
    // name: the other format is the one the user worked on last.
    if (names.first().endsWith(QStringLiteral(".rtf")) && names.size() > 1)
        return names[1];
    return names.first();
}

Status ProcessDocument(const Request &request, const Folders &folders, const QStringList &fieldNames,
                       RunContext &run, Printing &printing)
{
    const QString &name = request.name;
    run.step(QStringLiteral("openning ") + name);
    run.runStage = RunStage::Document;
    const QString file = FindDocumentFile(folders.modelFolder, name);
    if (file.isEmpty())
        return {};
    const QString extension = extensionOf(file);
    // Word-processor packages are filled part by part, never as raw bytes.
    if (PackagedFill::isPackage(extension))
        return PackagedFill::processPackage(request, folders, file, fieldNames, run, printing);
    Result<QByteArray> read = readWhole(folders.modelFolder + file, run, name);
    if (!read)
        return read.failure();
    QByteArray text = std::move(read).value();

    run.step(QStringLiteral("replacing fields in ") + name);
    QStringList values;
    for (int j = 1; j <= fieldNames.size(); ++j)
        values << run.fieldValue(j);
    // Rich text is also matched as a reader sees it, so markers split by
    // formatting or written with escapes are found; the plain sweep first
    // keeps the common case linear.
    const bool valuesHaveAmpersand = std::any_of(values.cbegin(), values.cend(),
                                                 [](const QString &v) { return v.contains(QLatin1Char('&')); });
    const bool readerFirst = RtfMarkers::applies(text, extension) && valuesHaveAmpersand;
    Result<QByteArray> filled = readerFirst ? RtfMarkers::fill(text, extension, fieldNames, values)
                                            : Markers::ReplaceFieldMarkers(text, extension, fieldNames, values);
    if (filled && !readerFirst && RtfMarkers::applies(*filled, extension)
        && RtfMarkers::containsMarker(*filled, fieldNames))
        filled = RtfMarkers::fill(*filled, extension, fieldNames, values);
    if (!filled)
        return filled.failure();
    text = std::move(filled).value();

    run.step(QStringLiteral("printing ") + name);
    if (request.print) {
        run.showWait(QStringLiteral("Printing ") + name);
        if (request.method == PrintMethod::Faster) {
            // The extension tells HTML from text.
            if (Status printed = printing.printText(text, name + extension); !printed)
                return printed;
        } else {
            // A file of this fill's own, gone on every way out: the printing
            // program has read it by the time printFile returns.
            const ScratchFile temp(extension);
            if (!temp.isValid())
                return Failure{temp.errorString()};
            if (Status written = writeWhole(temp.path(), text); !written)
                return written;
            if (Status printed = printing.printFile(temp.path()); !printed)
                return printed;
        }
    }

    run.step(QStringLiteral("saving ") + name);
    if (request.save) {
        const QString target = request.saveName + QLatin1Char('-') + name + extension;
        run.showWait(QStringLiteral("Saving ") + target);
        return writeWhole(folders.saveFolder + target, text);
    }
    return {};
}

} // namespace Documents
