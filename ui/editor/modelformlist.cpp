#include "ui/editor/filepickers.h"
#include "core/workspace.h"
#include "core/editor/modeledit.h"
#include "ui/editor/modelform.h"
#include "core/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/gui/messagebox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>


// The list buttons, the entry and sheet boxes and the file pickers.
void ModelForm::operationFailed(const QString &description, const QString &title)
{
    Ask::show(description, title, Ask::OkOnly, Ask::NoIcon, this);
}

bool ModelForm::modelNameUsable(const QString &title)
{
    return shown(ModelEditor::checkModelName(m_modelNameBox->text(), title));
}

void ModelForm::moveUp()
{
    const int p = m_itemList->currentRow();
    if (p <= 0 || !modelNameUsable(QStringLiteral("Error in Operation"))
        || !editor().moveUp(m_mode, p))
        return;
    m_filling = true;
    QListWidgetItem *upper = m_itemList->takeItem(p - 1);
    m_itemList->insertItem(p, upper);
    m_filling = false;
    m_itemList->setCurrentRow(p - 1);
}

void ModelForm::moveDown()
{
    const int p = m_itemList->currentRow();
    if (p < 0 || p >= m_itemList->count() - 1 || !modelNameUsable(QStringLiteral("Error in Operation"))
        || !editor().moveDown(m_mode, p))
        return; // the last item stays where it is, and nothing is saved
    m_filling = true;
    QListWidgetItem *item = m_itemList->takeItem(p);
    m_itemList->insertItem(p + 1, item);
    m_filling = false;
    m_itemList->setCurrentRow(p + 1);
}

void ModelForm::deleteItem()
{
    const int p = m_itemList->currentRow();
    if (!modelNameUsable(QStringLiteral("Error in Deleting")))
        return;
    if (!shown(editor().removeAt(m_mode, p)))
        return;
    m_filling = true;
    delete m_itemList->takeItem(p);
    m_filling = false;
    m_itemList->clearSelection();
    m_itemList->setCurrentRow(-1);
    selectionChanged();
    m_itemBox->clear();
    m_sheetBox->clear();
    m_selectedDocument = m_selectedSheet = 0;
}

void ModelForm::unselect()
{
    m_itemList->clearSelection();
    m_itemList->setCurrentRow(-1);
    selectionChanged();
}

void ModelForm::commonEnd()
{
    unselect();
    m_operationButton->setText(QStringLiteral("&Add"));
    m_itemBox->clear();
    m_selectedDocument = m_selectedSheet = 0;
    m_sheetBox->clear();
}

void ModelForm::modelNameEntered()
{
    const QString name = m_modelNameBox->text();
    if (name.isEmpty()) {
        Ask::show(QStringLiteral("Please provide a model name."), QStringLiteral("You need a model name."),
                         Ask::OkOnly, Ask::NoIcon, this);
        return;
    }
    if (!modelNameUsable(QStringLiteral("Error in Operation")))
        return;
    m_workspace.ModelName = name;
    ModelStore::saveSettings(m_workspace);
    m_itemBox->setFocus();
}

void ModelForm::fieldTextChanged()
{
    if (m_mode != ModelEdit::Spreadsheets)
        return;
    m_sheetBox->setText(editor().sheetNumberText(m_itemBox->text()));
}

void ModelForm::sheetTextChanged()
{
    if (!m_sheetBox->hasFocus() || m_selectedSheet == 0 || m_sheetBox->text().isEmpty())
        return;
    editor().setSheetNumber(m_selectedSheet - 1, m_sheetBox->text());
}

void ModelForm::folderChanged()
{
    m_filePicker->setFolder(m_folderPicker->path());
    if (!m_folderPicker->isVisible())
        return;
    m_selectedSheet = 0;
    m_itemBox->setText(Platform::withTrailingSeparator(m_folderPicker->path()) + m_filePicker->fileName());
    m_editedField = 0;
}

void ModelForm::fileClicked()
{
    if (!m_filePicker->isVisible())
        return;
    m_itemBox->setText(Platform::withTrailingSeparator(m_folderPicker->path()) + m_filePicker->fileName());
    unselect();
    m_editedField = 0;
    m_selectedSheet = 0;
}

void ModelForm::viewSample()
{
    if (m_mode == ModelEdit::Documents)
        OpenWithAssociatedProgram(m_workspace.AppFolder, QStringLiteral("Sample Doc.rtf"));
    else if (m_mode == ModelEdit::Spreadsheets)
        OpenWithAssociatedProgram(m_workspace.AppFolder, QStringLiteral("Sample Spreadsheet.xls"));
}
