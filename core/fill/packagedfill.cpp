#include "core/fill/packagedfill.h"

#include "core/fill/scratchfile.h"
#include "core/fill/xmlmarkers.h"
#include "core/fill/zippackage.h"
#include "platform/filesystem.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace PackagedFill {

namespace {
bool isWord(const QString &extension) { return extension.compare(QStringLiteral(".docx"), Qt::CaseInsensitive) == 0; }

Failure fail(const QString &message) { return {message}; }

// Why a file that is no zip package could not be read: Word keeps an
// encrypted document in an OLE compound file.
QString notAPackage(const QString &path, const QString &zipError)
{
    QFile f(path);
    if (f.open(QIODevice::ReadOnly) && f.read(8) == QByteArray::fromHex("d0cf11e0a1b11ae1"))
        return QStringLiteral("The document is encrypted or in an older format");
    return zipError;
}

Status requireNotEncrypted(Zip::Package &package, const QString &extension)
{
    if (isWord(extension)) {
        // A package holding these is an encrypted one written by Word.
        if (package.contains(QStringLiteral("EncryptedPackage")) || package.contains(QStringLiteral("EncryptionInfo")))
            return fail(QStringLiteral("The document is encrypted"));
        return {};
    }
    QByteArray manifest;
    if (package.contains(QStringLiteral("META-INF/manifest.xml"))) {
        if (!package.read(QStringLiteral("META-INF/manifest.xml"), &manifest))
            return fail(package.errorString());
        if (manifest.contains("encryption-data"))
            return fail(QStringLiteral("The document is encrypted"));
    }
    return {};
}

// Replaces the save name's file as a whole, never writing through a link
// that stands there, and never leaving a mix of two fills' copies.
Status copyWhole(const QString &from, const QString &to)
{
    if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
        return fail(QStringLiteral("Path not found"));
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return fail(in.errorString());
    if (Status written = Platform::writeFileAtomically(to, bytes); !written)
        return fail(written.error());
    return {};
}
} // namespace

bool isPackage(const QString &extension)
{
    return isWord(extension) || extension.compare(QStringLiteral(".odt"), Qt::CaseInsensitive) == 0;
}

bool isTextPart(const QString &entryName, const QString &extension)
{
    if (!isWord(extension))
        return entryName == QStringLiteral("content.xml") || entryName == QStringLiteral("styles.xml");
    static const QRegularExpression word(
        QStringLiteral("^word/(document|header\\d*|footer\\d*|footnotes|endnotes)\\.xml$"));
    return word.match(entryName).hasMatch();
}

Status fillPackage(const QString &source, const QString &target, const QString &extension,
                   const QStringList &fieldNames, const QStringList &values, const std::function<void()> &replacing)
{
    Zip::Package package;
    if (!package.open(source))
        return fail(notAPackage(source, package.errorString()));
    if (Status readable = requireNotEncrypted(package, extension); !readable)
        return readable;
    if (replacing)
        replacing();
    const XmlMarkers::Dialect dialect = isWord(extension) ? XmlMarkers::Dialect::Word
                                                          : XmlMarkers::Dialect::OpenDocument;
    QHash<QString, QByteArray> replaced;
    bool anyText = false;
    for (const QString &entry : package.entryNames()) {
        if (!isTextPart(entry, extension))
            continue;
        anyText = true;
        QByteArray xml;
        if (!package.read(entry, &xml))
            return fail(package.errorString());
        Result<QByteArray> filled = XmlMarkers::fill(xml, dialect, fieldNames, values);
        if (!filled)
            return filled.failure();
        if (*filled != xml)
            replaced.insert(entry, std::move(filled).value());
    }
    if (!anyText)
        return fail(QStringLiteral("The file is not a word-processor document"));
    if (!package.write(target, replaced))
        return fail(package.errorString());
    return {};
}

Status processPackage(const Documents::Request &request, const Documents::Folders &folders, const QString &file,
                      const QStringList &fieldNames, RunContext &run, Documents::Printing &printing)
{
    const QString &name = request.name;
    const QString extension = Documents::extensionOf(file);
    QStringList values;
    for (int j = 1; j <= fieldNames.size(); ++j)
        values << run.fieldValue(j);
    // Filled once into a file of this fill's own; printing and saving both
    // take that file, and it is gone on every way out.
    const ScratchFile temp(extension);
    if (!temp.isValid())
        return fail(temp.errorString());
    run.step(QStringLiteral("loading ") + name);
    const auto replacing = [&run, &name] { run.step(QStringLiteral("replacing fields in ") + name); };
    if (Status filled = fillPackage(folders.modelFolder + file, temp.path(), extension, fieldNames, values, replacing);
        !filled)
        return filled;

    run.step(QStringLiteral("printing ") + name);
    if (request.print) {
        run.showWait(QStringLiteral("Printing ") + name);
        // Our own reader knows rich text only: both methods go through the
        // office, which renders the package as the user laid it out.
        if (Status printed = printing.printFile(temp.path()); !printed)
            return printed;
    }

    run.step(QStringLiteral("saving ") + name);
    if (request.save) {
        const QString target = request.saveName + QLatin1Char('-') + name + extension;
        run.showWait(QStringLiteral("Saving ") + target);
        return copyWhole(temp.path(), folders.saveFolder + target);
    }
    return {};
}

} // namespace PackagedFill
