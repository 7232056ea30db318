#include "ui/editor/fieldsform.h"
#include "core/editor/modeledit.h"
#include "ui/editor/modelform.h"
#include "core/fill/documents.h"
#include "ui/mainwin/modelstore.h"
#include "core/model/names.h"
#include "core/model/qltbas.h"
#include "platform/messagebox.h"
#include "platform/process.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using QLTBas::state;

void OpenWithAssociatedProgram(const QString &folder, const QString &fileName)
{
    Platform::openWithAssociatedProgram(folder + fileName);
}

void ModelForm::DoOperation()
{
    if (!modelNameUsable(QStringLiteral("Error in Operation")))
        return;
    const QString modelName = m_txtModelName->text();
    state().ModelName = modelName;
    SaveSettings();
    state().EditMode = static_cast<qint16>(m_mode);
    switch (m_mode) {
    case ModelEdit::Fields: doFields(); break;
    case ModelEdit::Documents: doDocuments(); break;
    case ModelEdit::Spreadsheets: doSpreadsheets(); break;
    }
}

void ModelForm::doFields()
{
    QLTBas::ProgramState &s = state();
    const QString text = m_txtField->text();
    const int p = m_list1->selectedItems().isEmpty() ? -1 : m_list1->currentRow();
    // A field name is a line of the model file.
    if (const Names::Problem problem = Names::lineProblem(text); problem == Names::Problem::ControlCharacter) {
        refuseName(QStringLiteral("field name"), problem);
        return;
    }
    if (p < 0) {
        if (text.isEmpty()) {
            operationFailed(QStringLiteral("You have not input a field to add."), QStringLiteral("Error"));
            return;
        }
        const qsizetype same = ModelEdit::indexOfNoCase(s.FieldNames, text);
        if (same >= 0) {
            operationFailed(QStringLiteral("There is already a field called ") + s.FieldNames[same] + QLatin1Char('.'),
                            QStringLiteral("Error"));
            m_txtField->clear();
            return;
        }
        s.FieldNames.append(text);
        SaveModel();
        m_list1->addItem(text);
    } else {
        const int index = m_editedField > 0 ? m_editedField - 1 : p;
        if (index >= s.FieldNames.size())
            return;
        // A rename to another field's name would make two fields one: refused,
        // and the typed name stays for correction.
        const qsizetype same = ModelEdit::indexOfNoCase(s.FieldNames, text);
        if (!text.isEmpty() && same >= 0 && same != index) {
            operationFailed(QStringLiteral("There is already a field called ") + s.FieldNames[same] + QLatin1Char('.'),
                            QStringLiteral("Error"));
            return;
        }
        m_filling = true;
        delete m_list1->takeItem(p);
        if (text.isEmpty()) {
            s.FieldNames.removeAt(index);
        } else {
            s.FieldNames[index] = text;
            m_list1->insertItem(p, text);
        }
        m_filling = false;
        SaveModel();
        m_editedField = 0;
    }
    m_txtField->clear();
    m_butEdit->setText(QStringLiteral("&Add"));
    commonEnd();
}

void ModelForm::doDocuments()
{
    QLTBas::ProgramState &s = state();
    const QString name = m_txtField->text();
    if (name.isEmpty()) {
        if (m_selectedDocument == 0) {
            operationFailed(QStringLiteral("You must input a name for the document you are creating."),
                            QStringLiteral("Error"));
            return;
        }
        ModelEdit::removeAt(s, ModelEdit::Documents, m_selectedDocument - 1);
        m_filling = true;
        delete m_list1->takeItem(m_selectedDocument - 1);
        m_filling = false;
        SaveModel();
        commonEnd();
        return;
    }
    // Everything is checked before anything changes, so list, model and
    // file never disagree.
    if (const Names::Problem problem = Names::fileNameProblem(name); problem != Names::Problem::None) {
        refuseName(QStringLiteral("document name"), problem);
        return;
    }
    // The document the fill run would use, found by the same rule; only
    // when there is none does a new one start from the template.
    QString file = Documents::FindDocumentFile(s.ModelFolder, name);
    if (file.isEmpty()) {
        file = name + QStringLiteral(".rtf");
        QFile templ(s.AppFolder + QStringLiteral("Template.rtf"));
        if (!templ.exists()) {
            operationFailed(QStringLiteral("File not found"), QStringLiteral("Error in Operation"));
            return;
        }
        if (!templ.copy(s.ModelFolder + file)) {
            operationFailed(templ.errorString(), QStringLiteral("Error in Operation"));
            return;
        }
    }
    if (ModelEdit::indexOfNoCase(s.DocNames, name) < 0) {
        s.DocNames.append(name);
        m_list1->addItem(name);
        SaveModel();
    }
    m_butEdit->setText(QStringLiteral("&Add"));
    m_txtField->clear();
    m_txtField->setFocus();
    openEditorWithPalette(s.ModelFolder, file);
    commonEnd();
}

void ModelForm::doSpreadsheets()
{
    QLTBas::ProgramState &s = state();
    const QString path = m_txtField->text();
    if (path.isEmpty()) {
        if (m_selectedSheet == 0) {
            operationFailed(QStringLiteral("You must specify the spreadsheet you wish to add."), QStringLiteral("Error"));
            return;
        }
        ModelEdit::removeAt(s, ModelEdit::Spreadsheets, m_selectedSheet - 1);
        m_filling = true;
        delete m_list1->takeItem(m_selectedSheet - 1);
        m_filling = false;
        SaveModel();
        commonEnd();
        return;
    }
    if (const Names::Problem problem = Names::lineProblem(path); problem != Names::Problem::None) {
        refuseName(QStringLiteral("spreadsheet path"), problem);
        return;
    }
    // A relative path would be looked up in whatever folder the program was
    // started from, and mean another file next time: only full paths.
    const QString fullPathMessage =
        QStringLiteral("You must specify the full path (such as C:\\MyFiles\\MySpreadsheet.xls).");
    if (QDir::isRelativePath(path)) {
        operationFailed(fullPathMessage, QStringLiteral("Error"));
        return;
    }
    if (!QLTBas::FileExists(path)) {
        operationFailed(QStringLiteral("I cannot find the spreadsheet file\r\n") + path, QString());
        return;
    }
    QString folder, fileName;
    if (!ModelEdit::splitPath(path, folder, fileName)) {
        operationFailed(fullPathMessage, QStringLiteral("Error"));
        return;
    }
    const bool known = ModelEdit::indexOfNoCase(s.SheetPaths, path) >= 0;
    QString sheetText = m_txtSheet->text();
    if (sheetText == QStringLiteral("0") || sheetText.isEmpty())
        sheetText = QStringLiteral("1");
    const auto number = ModelEdit::sheetNumber(sheetText);
    if (!known && !number) {
        operationFailed(QStringLiteral("The sheet number must be a whole number from 1 to 32767."),
                        QStringLiteral("Error in Operation"));
        return;
    }
    openEditorWithPalette(folder, fileName);
    if (!known) {
        m_txtSheet->setText(sheetText);
        s.SheetPaths.append(path);
        s.SheetNumbers.append(*number);
        SaveModel();
        m_list1->addItem(path);
    }
    commonEnd();
}

void ModelForm::openEditorWithPalette(const QString &folder, const QString &fileName)
{
    OpenWithAssociatedProgram(folder, fileName);
    FieldsForm::instance()->show();
    hide();
}
