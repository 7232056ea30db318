#include "app/fill/documents.h"

#include "app/fill/markers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace Documents {

namespace {
QByteArray readWhole(const QString &path, RunContext &run, const QString &name)
{
    QFile f(path);
    run.step(QStringLiteral("openning ") + name);
    if (!f.open(QIODevice::ReadOnly))
        throw RunError(f.errorString());
    run.step(QStringLiteral("getting size of ") + name);
    const qint64 size = f.size();
    run.step(QStringLiteral("loading ") + name);
    const QByteArray bytes = f.read(size);
    if (bytes.size() != size)
        throw RunError(f.errorString().isEmpty() ? QStringLiteral("Input past end of file") : f.errorString());
    return bytes;
}

void writeWhole(const QString &path, const QByteArray &bytes)
{
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        throw RunError(QStringLiteral("Path not found"));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw RunError(out.errorString());
    out.write(bytes);
    if (!out.commit())
        throw RunError(out.errorString());
}
} // namespace

bool isSafeName(const QString &name)
{
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString extensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot);
}

QString FindDocumentFile(const QString &modelFolder, const QString &docName)
{
    if (!isSafeName(docName))
        return QString();
    const QString prefix = docName + QLatin1Char('.');
    QStringList names;
    const QFileInfoList entries = QDir(modelFolder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : entries)
        if (fi.fileName().startsWith(prefix, Qt::CaseInsensitive))
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

void ProcessDocument(const Request &request, const Folders &folders, const QStringList &fieldNames,
                     RunContext &run, Printing &printing)
{
    const QString &name = request.name;
    run.step(QStringLiteral("openning ") + name);
    run.runStage = 1;
    const QString file = FindDocumentFile(folders.modelFolder, name);
    if (file.isEmpty())
        return;
    const QString extension = extensionOf(file);
    QByteArray text = readWhole(folders.modelFolder + file, run, name);

    run.step(QStringLiteral("replacing fields in ") + name);
    QStringList values;
    for (int j = 1; j <= fieldNames.size(); ++j)
        values << run.fieldValue(j);
    text = Markers::ReplaceFieldMarkers(text, extension, fieldNames, values);

    run.step(QStringLiteral("printing ") + name);
    if (request.print) {
        run.showWait(QStringLiteral("Printing ") + name);
        if (request.method == PrintMethod::Faster) {
            printing.printText(text, name + extension); // the extension tells HTML from text
        } else {
            const QString temp = folders.appFolder + QStringLiteral("temprtf") + extension;
            if (QFileInfo::exists(temp) && !QFile::remove(temp))
                throw RunError(QStringLiteral("Permission denied"));
            writeWhole(temp, text);
            // Removed on every way out: the printing program has read it by
            // the time printFile returns.
            struct Remove {
                QString path;
                ~Remove() { QFile::remove(path); }
            } remove{temp};
            printing.printFile(temp);
        }
    }

    run.step(QStringLiteral("saving ") + name);
    if (request.save) {
        const QString target = request.saveName + QLatin1Char('-') + name + extension;
        run.showWait(QStringLiteral("Saving ") + target);
        writeWhole(folders.saveFolder + target, text);
    }
}

} // namespace Documents
