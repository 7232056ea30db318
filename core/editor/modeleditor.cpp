#include "core/editor/modeleditor.h"

#include "core/fill/documents.h"
#include "core/model/names.h"
#include "core/model/qltbas.h"

#include <QDir>
#include <QFile>

namespace {
EditResult nameRefused(const QString &what, Names::Problem problem)
{
    return EditResult::failed(QStringLiteral("The ") + what + QStringLiteral(" cannot be used. ") + Names::refusal(problem),
                              QStringLiteral("Error in Operation"));
}

const QString kFullPathMessage =
    QStringLiteral("You must specify the full path (such as C:\\MyFiles\\MySpreadsheet.xls).");
} // namespace

ModelEditor::ModelEditor(ModelLists &model, QString modelFolder, QString modelName, QString appFolder, Saver save)
    : m_model(model), m_modelFolder(std::move(modelFolder)), m_modelName(std::move(modelName)),
      m_appFolder(std::move(appFolder)), m_save(std::move(save))
{
}

EditResult ModelEditor::saveModel(const ModelLists &model, const QString &modelFolder, const QString &modelName)
{
    QString error;
    // The last guard: no model file is ever written outside the model folder.
    if (const Names::Problem problem = Names::fileNameProblem(modelName); problem != Names::Problem::None)
        error = QStringLiteral("The model name cannot be used. ") + Names::refusal(problem);
    else if (Status written = ModelFile::write(ModelFile::modelPath(modelFolder, modelName), model); written)
        return {};
    else
        error = written.error();
    return EditResult::failed(error + QStringLiteral(" occurred saving model file.\r\nNo model saved."),
                              QStringLiteral("Error"));
}

EditResult ModelEditor::checkModelName(const QString &name, const QString &title)
{
    if (name.isEmpty())
        return EditResult::failed(
            QStringLiteral("You must input a name for your model in the box at the top of this form."),
            QStringLiteral("Need a model name"));
    // The name becomes the model's file name: it must stay in the model folder.
    if (const Names::Problem problem = Names::fileNameProblem(name); problem != Names::Problem::None)
        return EditResult::failed(QStringLiteral("The model name cannot be used. ") + Names::refusal(problem), title);
    return {};
}

EditResult ModelEditor::save() { return m_save ? m_save() : saveModel(m_model, m_modelFolder, m_modelName); }

EditResult ModelEditor::duplicateField(qsizetype same) const
{
    return EditResult::failed(QStringLiteral("There is already a field called ") + m_model.FieldNames[same]
                                  + QLatin1Char('.'),
                              QStringLiteral("Error"));
}

EditResult ModelEditor::addField(const QString &name)
{
    // A field name is a line of the model file.
    if (const Names::Problem problem = Names::lineProblem(name); problem == Names::Problem::ControlCharacter)
        return nameRefused(QStringLiteral("field name"), problem);
    if (name.isEmpty())
        return EditResult::failed(QStringLiteral("You have not input a field to add."), QStringLiteral("Error"));
    if (const qsizetype same = ModelEdit::indexOfNoCase(m_model.FieldNames, name); same >= 0)
        return duplicateField(same);
    m_model.FieldNames.append(name);
    return save();
}

EditResult ModelEditor::changeField(int index, const QString &name)
{
    if (const Names::Problem problem = Names::lineProblem(name); problem == Names::Problem::ControlCharacter)
        return nameRefused(QStringLiteral("field name"), problem);
    if (index < 0 || index >= m_model.FieldNames.size())
        return EditResult::refused();
    // A rename to another field's name would make two fields one.
    const qsizetype same = ModelEdit::indexOfNoCase(m_model.FieldNames, name);
    if (!name.isEmpty() && same >= 0 && same != index)
        return duplicateField(same);
    if (name.isEmpty())
        m_model.FieldNames.removeAt(index);
    else
        m_model.FieldNames[index] = name;
    return save();
}

EditResult ModelEditor::openDocument(const QString &name, QString *file)
{
    // Everything is checked before anything changes, so lists, model and
    // file never disagree.
    if (const Names::Problem problem = Names::fileNameProblem(name); problem != Names::Problem::None)
        return nameRefused(QStringLiteral("document name"), problem);
    // The document the fill run would use, found by the same rule; only
    // when there is none does a new one start from the template.
    *file = Documents::FindDocumentFile(m_modelFolder, name);
    if (file->isEmpty()) {
        *file = name + QStringLiteral(".rtf");
        QFile templ(m_appFolder + QStringLiteral("Template.rtf"));
        if (!templ.exists())
            return EditResult::failed(QStringLiteral("File not found"), QStringLiteral("Error in Operation"));
        if (!templ.copy(m_modelFolder + *file))
            return EditResult::failed(templ.errorString(), QStringLiteral("Error in Operation"));
    }
    if (ModelEdit::indexOfNoCase(m_model.DocNames, name) < 0) {
        m_model.DocNames.append(name);
        return save();
    }
    return {};
}

ModelEditor::SheetCheck ModelEditor::checkSpreadsheet(const QString &path, const QString &sheetText) const
{
    SheetCheck check;
    if (const Names::Problem problem = Names::lineProblem(path); problem != Names::Problem::None) {
        check.result = nameRefused(QStringLiteral("spreadsheet path"), problem);
        return check;
    }
    // A relative path would be looked up in whatever folder the program was
    // started from, and mean another file next time: only full paths.
    if (QDir::isRelativePath(path)) {
        check.result = EditResult::failed(kFullPathMessage, QStringLiteral("Error"));
        return check;
    }
    if (!QLTBas::FileExists(path)) {
        check.result = EditResult::failed(QStringLiteral("I cannot find the spreadsheet file\r\n") + path, QString());
        return check;
    }
    if (!ModelEdit::splitPath(path, check.folder, check.fileName)) {
        check.result = EditResult::failed(kFullPathMessage, QStringLiteral("Error"));
        return check;
    }
    check.known = ModelEdit::indexOfNoCase(m_model.SheetPaths, path) >= 0;
    check.sheetText = sheetText == QStringLiteral("0") || sheetText.isEmpty() ? QStringLiteral("1") : sheetText;
    const auto number = ModelEdit::sheetNumber(check.sheetText);
    if (!check.known && !number) {
        check.result = EditResult::failed(QStringLiteral("The sheet number must be a whole number from 1 to 32767."),
                                          QStringLiteral("Error in Operation"));
        return check;
    }
    check.sheetNumber = number.value_or(1);
    return check;
}

EditResult ModelEditor::addSpreadsheet(const QString &path, qint16 sheetNumber)
{
    m_model.SheetPaths.append(path);
    m_model.SheetNumbers.append(sheetNumber);
    return save();
}

QString ModelEditor::sheetNumberText(const QString &path) const
{
    const qsizetype i = ModelEdit::indexOfNoCase(m_model.SheetPaths, path);
    return i >= 0 ? QString::number(m_model.SheetNumbers.value(i)) : QStringLiteral("1");
}

void ModelEditor::setSheetNumber(int index, const QString &text)
{
    // Numbers a sheet cannot have are not stored (they would wrap around).
    if (const auto number = ModelEdit::sheetNumber(text))
        if (index >= 0 && index < m_model.SheetNumbers.size())
            m_model.SheetNumbers[index] = *number;
}

bool ModelEditor::moveUp(ModelEdit::Mode mode, int p)
{
    if (!ModelEdit::moveUp(m_model, mode, p))
        return false;
    save();
    return true;
}

bool ModelEditor::moveDown(ModelEdit::Mode mode, int p)
{
    if (!ModelEdit::moveDown(m_model, mode, p))
        return false; // the last item stays where it is, and nothing is saved
    save();
    return true;
}

EditResult ModelEditor::removeAt(ModelEdit::Mode mode, int p, const QString &title)
{
    if (p < 0 || !ModelEdit::removeAt(m_model, mode, p))
        return EditResult::failed(QStringLiteral("Subscript out of range"), title);
    return save();
}
