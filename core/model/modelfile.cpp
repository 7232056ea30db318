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

    bool text(QString &out, QString *error)
    {
        if (m_next >= m_lines.size()) {
            if (error)
                *error = QStringLiteral("Input past end of file");
            return false;
        }
        out = m_lines[m_next++];
        return true;
    }

    bool number(qint16 &out, QString *error, bool mustBeCount)
    {
        QString line;
        if (!text(line, error))
            return false;
        const auto v = TextFile::parseNumberLine(line, error);
        if (!v)
            return false;
        if (mustBeCount && *v < 0) {
            if (error)
                *error = QStringLiteral("Invalid count");
            return false;
        }
        out = *v;
        return true;
    }

private:
    const QStringList &m_lines;
    qsizetype m_next = 0;
};

bool readNames(LineReader &in, QStringList &names, QString *error)
{
    qint16 count = 0;
    if (!in.number(count, error, true))
        return false;
    names = QStringList(count);
    for (qint16 i = 0; i < count; ++i)
        if (!in.text(names[i], error))
            return false;
    return true;
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

bool read(const QString &path, ModelLists &model, QString *error)
{
    QStringList lines;
    if (!TextFile::readLines(path, lines, error))
        return false;
    LineReader in(lines);
    if (!readNames(in, model.FieldNames, error) || !readNames(in, model.DocNames, error))
        return false;
    qint16 sheets = 0;
    if (!in.number(sheets, error, true))
        return false;
    model.SheetPaths = QStringList(sheets);
    model.SheetNumbers = QList<qint16>(sheets, 0);
    for (qint16 i = 0; i < sheets; ++i) {
        if (!in.text(model.SheetPaths[i], error) || !in.number(model.SheetNumbers[i], error, false))
            return false;
    }
    return true;
}

bool write(const QString &path, const ModelLists &model, QString *error)
{
    QStringList lines;
    lines << TextFile::numberLine(model.FieldCount()) << model.FieldNames;
    lines << TextFile::numberLine(model.DocCount()) << model.DocNames;
    lines << TextFile::numberLine(model.SheetCount());
    for (qint16 i = 0; i < model.SheetCount(); ++i)
        lines << model.SheetPaths[i] << TextFile::numberLine(model.SheetNumbers.value(i, 1));
    return TextFile::writeLines(path, lines, error);
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
