#include "app/editor/fieldsform.h"
#include "app/editor/modeledit.h"
#include "app/editor/modelform.h"
#include "app/fill/documents.h"
#include "app/fill/packagedfill.h"
#include "app/state/modelstore.h"
#include "app/state/qltbas.h"
#include "platform/messagebox.h"
#include "platform/process.h"

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
    const QString modelName = m_txtModelName->text();
    if (modelName.isEmpty()) {
        operationFailed(QStringLiteral("You must input a name for your model in the box at the top of this form."),
                        QStringLiteral("Need a model name"));
        return;
    }
    // The name becomes a file name in the model folder: it must not lead out of it.
    if (!Documents::isSafeName(modelName)) {
        operationFailed(QStringLiteral("Bad file name or number"), QStringLiteral("Error in Operation"));
        return;
    }
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
    if (!Documents::isSafeName(name)) {
        operationFailed(QStringLiteral("Bad file name or number"), QStringLiteral("Error in Operation"));
        return;
    }
    // A document kept as .docx or .odt (and no .rtf) is opened as it is.
    const QString package = QLTBas::FileExists(s.ModelFolder + name + QStringLiteral(".rtf"))
        ? QString()
        : PackagedFill::existingPackage(s.ModelFolder, name);
    const QString fileName = package.isEmpty() ? name + QStringLiteral(".rtf") : package;
    const QString file = s.ModelFolder + fileName;
    if (!QLTBas::FileExists(file)) {
        QFile templ(s.AppFolder + QStringLiteral("Template.rtf"));
        if (!templ.exists()) {
            operationFailed(QStringLiteral("File not found"), QStringLiteral("Error in Operation"));
            return;
        }
        if (!templ.copy(file)) {
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
    openEditorWithPalette(s.ModelFolder, fileName);
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
    if (!QLTBas::FileExists(path)) {
        operationFailed(QStringLiteral("I cannot find the spreadsheet file\r\n") + path, QString());
        return;
    }
    QString folder, fileName;
    if (!ModelEdit::splitPath(path, folder, fileName)) {
        operationFailed(QStringLiteral("You must specify the full path (such as C:\\MyFiles\\MySpreadsheet.xls)."),
                        QStringLiteral("Error"));
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
