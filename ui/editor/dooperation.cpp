#include "ui/editor/fieldsform.h"
#include "core/workspace.h"
#include "core/editor/modeleditor.h"
#include "ui/editor/modelform.h"
#include "ui/dialogs/modelmessages.h"
#include "core/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/gui/messagebox.h"
#include "platform/process.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>


void OpenWithAssociatedProgram(const QString &folder, const QString &fileName)
{
    Platform::openWithAssociatedProgram(folder + fileName);
}

void ModelForm::DoOperation()
{
    if (!modelNameUsable(QStringLiteral("Error in Operation")))
        return;
    const QString modelName = m_modelNameBox->text();
    m_workspace.ModelName = modelName;
    ModelStore::saveSettings(m_workspace);
    if (FieldsForm *palette = FieldsForm::existing())
        palette->setMode(m_mode);
    switch (m_mode) {
    case ModelEdit::Fields: doFields(); break;
    case ModelEdit::Documents: doDocuments(); break;
    case ModelEdit::Spreadsheets: doSpreadsheets(); break;
    }
}

ModelEditor ModelForm::editor() const
{
    Workspace &s = m_workspace;
    // The save tells the user itself when the file could not be written.
    return ModelEditor(s, s.ModelFolder, s.ModelName, s.AppFolder, [&s] {
        saveModelTellingUser(s);
        return EditResult{};
    });
}

bool ModelForm::shown(const EditResult &result)
{
    if (!result.ok && !result.message.isEmpty())
        operationFailed(result.message, result.title);
    return result.ok;
}

void ModelForm::doFields()
{
    const QString text = m_itemBox->text();
    const int p = m_itemList->selectedItems().isEmpty() ? -1 : m_itemList->currentRow();
    if (p < 0) {
        if (!shown(editor().addField(text))) {
            // A name already there is cleared; any other stays for correction.
            if (!text.isEmpty() && ModelEdit::indexOfNoCase(m_workspace.FieldNames, text) >= 0)
                m_itemBox->clear();
            return;
        }
        m_itemList->addItem(text);
    } else {
        const int index = m_editedField > 0 ? m_editedField - 1 : p;
        // A rename to another field's name is refused, and the typed name
        // stays for correction.
        if (!shown(editor().changeField(index, text)))
            return;
        m_filling = true;
        delete m_itemList->takeItem(p);
        if (!text.isEmpty())
            m_itemList->insertItem(p, text);
        m_filling = false;
        m_editedField = 0;
    }
    m_itemBox->clear();
    m_operationButton->setText(QStringLiteral("&Add"));
    commonEnd();
}

void ModelForm::removeSelected(int row, const QString &emptyMessage)
{
    if (row == 0) {
        operationFailed(emptyMessage, QStringLiteral("Error"));
        return;
    }
    editor().removeAt(m_mode, row - 1);
    m_filling = true;
    delete m_itemList->takeItem(row - 1);
    m_filling = false;
    commonEnd();
}

void ModelForm::doDocuments()
{
    const QString name = m_itemBox->text();
    if (name.isEmpty()) {
        removeSelected(m_selectedDocument, QStringLiteral("You must input a name for the document you are creating."));
        return;
    }
    const int before = static_cast<int>(m_workspace.DocNames.size());
    QString file;
    if (!shown(editor().openDocument(name, &file)))
        return;
    if (m_workspace.DocNames.size() > before)
        m_itemList->addItem(name);
    m_operationButton->setText(QStringLiteral("&Add"));
    m_itemBox->clear();
    m_itemBox->setFocus();
    openEditorWithPalette(m_workspace.ModelFolder, file);
    commonEnd();
}

void ModelForm::doSpreadsheets()
{
    const QString path = m_itemBox->text();
    if (path.isEmpty()) {
        removeSelected(m_selectedSheet, QStringLiteral("You must specify the spreadsheet you wish to add."));
        return;
    }
    ModelEditor sheets = editor();
    const ModelEditor::SheetCheck check = sheets.checkSpreadsheet(path, m_sheetBox->text());
    if (!shown(check.result))
        return;
    openEditorWithPalette(check.folder, check.fileName);
    if (!check.known) {
        m_sheetBox->setText(check.sheetText);
        sheets.addSpreadsheet(path, check.sheetNumber);
        m_itemList->addItem(path);
    }
    commonEnd();
}

void ModelForm::openEditorWithPalette(const QString &folder, const QString &fileName)
{
    OpenWithAssociatedProgram(folder, fileName);
    FieldsForm::instance(m_workspace, m_mode)->show();
    hide();
}
