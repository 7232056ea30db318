#include "ui/editor/filepickers.h"
#include "core/workspace.h"
#include "core/editor/modeledit.h"
#include "ui/editor/modelform.h"
#include "ui/mainwin/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/messagebox.h"

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
    return shown(ModelEditor::checkModelName(m_txtModelName->text(), title));
}

void ModelForm::moveUp()
{
    const int p = m_list1->currentRow();
    if (p <= 0 || !modelNameUsable(QStringLiteral("Error in Operation"))
        || !editor().moveUp(static_cast<ModelEdit::Mode>(m_mode), p))
        return;
    m_filling = true;
    QListWidgetItem *upper = m_list1->takeItem(p - 1);
    m_list1->insertItem(p, upper);
    m_filling = false;
    m_list1->setCurrentRow(p - 1);
}

void ModelForm::moveDown()
{
    const int p = m_list1->currentRow();
    if (p < 0 || p >= m_list1->count() - 1 || !modelNameUsable(QStringLiteral("Error in Operation"))
        || !editor().moveDown(static_cast<ModelEdit::Mode>(m_mode), p))
        return; // the last item stays where it is, and nothing is saved
    m_filling = true;
    QListWidgetItem *item = m_list1->takeItem(p);
    m_list1->insertItem(p + 1, item);
    m_filling = false;
    m_list1->setCurrentRow(p + 1);
}

void ModelForm::deleteItem()
{
    const int p = m_list1->currentRow();
    if (!modelNameUsable(QStringLiteral("Error in Deleting")))
        return;
    if (!shown(editor().removeAt(static_cast<ModelEdit::Mode>(m_mode), p)))
        return;
    m_filling = true;
    delete m_list1->takeItem(p);
    m_filling = false;
    m_list1->clearSelection();
    m_list1->setCurrentRow(-1);
    selectionChanged();
    m_txtField->clear();
    m_txtSheet->clear();
    m_selectedDocument = m_selectedSheet = 0;
}

void ModelForm::unselect()
{
    m_list1->clearSelection();
    m_list1->setCurrentRow(-1);
    selectionChanged();
}

void ModelForm::commonEnd()
{
    unselect();
    m_butEdit->setText(QStringLiteral("&Add"));
    m_txtField->clear();
    m_selectedDocument = m_selectedSheet = 0;
    m_txtSheet->clear();
}

void ModelForm::modelNameEntered()
{
    const QString name = m_txtModelName->text();
    if (name.isEmpty()) {
        Ask::show(QStringLiteral("Please provide a model name."), QStringLiteral("You need a model name."),
                         Ask::OkOnly, Ask::NoIcon, this);
        return;
    }
    if (!modelNameUsable(QStringLiteral("Error in Operation")))
        return;
    Workspace::current().ModelName = name;
    SaveSettings();
    m_txtField->setFocus();
}

void ModelForm::fieldTextChanged()
{
    if (m_mode != ModelEdit::Spreadsheets)
        return;
    m_txtSheet->setText(editor().sheetNumberText(m_txtField->text()));
}

void ModelForm::sheetTextChanged()
{
    if (!m_txtSheet->hasFocus() || m_selectedSheet == 0 || m_txtSheet->text().isEmpty())
        return;
    editor().setSheetNumber(m_selectedSheet - 1, m_txtSheet->text());
}

void ModelForm::folderChanged()
{
    m_file1->setFolder(m_dir1->path());
    if (!m_dir1->isVisible())
        return;
    m_selectedSheet = 0;
    m_txtField->setText(Platform::withTrailingSeparator(m_dir1->path()) + m_file1->fileName());
    m_editedField = 0;
}

void ModelForm::fileClicked()
{
    if (!m_file1->isVisible())
        return;
    m_txtField->setText(Platform::withTrailingSeparator(m_dir1->path()) + m_file1->fileName());
    unselect();
    m_editedField = 0;
    m_selectedSheet = 0;
}

void ModelForm::viewSample()
{
    if (m_mode == ModelEdit::Documents)
        OpenWithAssociatedProgram(Workspace::current().AppFolder, QStringLiteral("Sample Doc.rtf"));
    else if (m_mode == ModelEdit::Spreadsheets)
        OpenWithAssociatedProgram(Workspace::current().AppFolder, QStringLiteral("Sample Spreadsheet.xls"));
}
