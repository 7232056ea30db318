#include "core/model/modelfile.h"

#include "core/model/names.h"
#include "core/model/textfile.h"
#include "platform/filesystem.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace ModelFile {

namespace {
// Walks the lines of the file; running off the end is the classic
// "Input past end of file" of the old format readers.
class LineReader {
public:
    explicit LineReader(const QStringList &lines) : m_lines(lines) {}

    Result<QString> text()
    {
        if (m_next >= m_lines.size())
            return Failure{QStringLiteral("Input past end of file")};
        return m_lines[m_next++];
    }

    Result<qint16> number(bool mustBeCount)
    {
        const Result<QString> line = text();
        if (!line)
            return line.failure();
        const Result<qint16> v = TextFile::parseNumberLine(*line);
        if (v && mustBeCount && *v < 0)
            return Failure{QStringLiteral("Invalid count")};
        return v;
    }

private:
    const QStringList &m_lines;
    qsizetype m_next = 0;
};

Result<QStringList> readNames(LineReader &in)
{
    const Result<qint16> count = in.number(true);
    if (!count)
        return count.failure();
    QStringList names;
    names.reserve(*count);
    for (qint16 i = 0; i < *count; ++i) {
        Result<QString> name = in.text();
        if (!name)
            return name.failure();
        names << std::move(name).value();
    }
    return names;
}
} // namespace

QString modelPath(const QString &modelFolder, const QString &modelName)
{
    const QString exact = modelName + QStringLiteral(".mod");
    if (QFileInfo(modelFolder + exact).isFile())
        return modelFolder + exact;
    // A model copied from a system that wrote "Foo.MOD" is listed, so it
    // must load, and be saved back into the same file.
    const QStringList files = QDir(modelFolder).entryList({QStringLiteral("*.mod")}, QDir::Files | QDir::Hidden,
                                                          QDir::Name);
    for (const QString &f : files)
        if (f.size() == exact.size() && f.startsWith(modelName, Qt::CaseSensitive))
            return modelFolder + f;
    return modelFolder + exact;
}

Result<ModelLists> read(const QString &path)
{
    const Result<QStringList> lines = TextFile::readLines(path);
    if (!lines)
        return lines.failure();
    LineReader in(*lines);
    ModelLists model;
    for (QStringList *names : {&model.FieldNames, &model.DocNames}) {
        Result<QStringList> read = readNames(in);
        if (!read)
            return read.failure();
        *names = std::move(read).value();
    }
    const Result<qint16> sheets = in.number(true);
    if (!sheets)
        return sheets.failure();
    for (qint16 i = 0; i < *sheets; ++i) {
        const Result<QString> sheet = in.text();
        if (!sheet)
            return sheet.failure();
        const Result<qint16> number = in.number(false);
        if (!number)
            return number.failure();
        model.SheetPaths << *sheet;
        model.SheetNumbers << *number;
    }
    return model;
}

Status write(const QString &path, const ModelLists &model)
{
    QStringList lines;
    lines << TextFile::numberLine(model.FieldCount()) << model.FieldNames;
    lines << TextFile::numberLine(model.DocCount()) << model.DocNames;
    lines << TextFile::numberLine(model.SheetCount());
    for (qint16 i = 0; i < model.SheetCount(); ++i)
        lines << model.SheetPaths[i] << TextFile::numberLine(model.SheetNumbers.value(i, 1));
    return TextFile::writeLines(path, lines);
}

QStringList listModels(const QString &modelFolder)
{
    QDir dir(modelFolder);
    const QStringList files = dir.entryList({QStringLiteral("*.mod")}, QDir::Files | QDir::Hidden);
    QStringList names;
    for (const QString &f : files) {
        // Only what loads is listed: the extension in any letter case, and
        // a name that can be used to build the model's paths.
        const QString name = f.left(f.size() - 4);
        if (!Platform::isOwnTemporaryFile(f) && Names::isSafeName(name) && !names.contains(name))
            names << name;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

} // namespace ModelFile
