#include "ui/editor/filepickers.h"
#include "core/editor/modeledit.h"
#include "ui/editor/modelform.h"
#include "ui/mainwin/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/messagebox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using QLTBas::state;

// The list buttons, the entry and sheet boxes and the file pickers.
void ModelForm::operationFailed(const QString &description, const QString &title)
{
    Ask::show(description, title, Ask::OkOnly, Ask::NoIcon, this);
}

bool ModelForm::modelNameUsable(const QString &title)
{
    const QString name = m_txtModelName->text();
    if (name.isEmpty()) {
        operationFailed(QStringLiteral("You must input a name for your model in the box at the top of this form."),
                        QStringLiteral("Need a model name"));
        return false;
    }
    // The name becomes the model's file name: it must stay in the model folder.
    if (const Names::Problem problem = Names::fileNameProblem(name); problem != Names::Problem::None) {
        operationFailed(QStringLiteral("The model name cannot be used. ") + Names::refusal(problem), title);
        return false;
    }
    return true;
}

void ModelForm::refuseName(const QString &what, Names::Problem problem)
{
    operationFailed(QStringLiteral("The ") + what + QStringLiteral(" cannot be used. ") + Names::refusal(problem),
                    QStringLiteral("Error in Operation"));
}

void ModelForm::moveUp()
{
    const int p = m_list1->currentRow();
    if (p <= 0 || !modelNameUsable(QStringLiteral("Error in Operation")) || !ModelEdit::moveUp(state(), m_mode, p))
        return;
    m_filling = true;
    QListWidgetItem *upper = m_list1->takeItem(p - 1);
    m_list1->insertItem(p, upper);
    m_filling = false;
    m_list1->setCurrentRow(p - 1);
    SaveModel();
}

void ModelForm::moveDown()
{
    const int p = m_list1->currentRow();
    if (p < 0 || p >= m_list1->count() - 1 || !modelNameUsable(QStringLiteral("Error in Operation"))
        || !ModelEdit::moveDown(state(), m_mode, p))
        return; // the last item stays where it is, and nothing is saved
    m_filling = true;
    QListWidgetItem *item = m_list1->takeItem(p);
    m_list1->insertItem(p + 1, item);
    m_filling = false;
    m_list1->setCurrentRow(p + 1);
    SaveModel();
}

void ModelForm::deleteItem()
{
    const int p = m_list1->currentRow();
    if (!modelNameUsable(QStringLiteral("Error in Deleting")))
        return;
    if (p < 0 || !ModelEdit::removeAt(state(), m_mode, p)) {
        operationFailed(QStringLiteral("Subscript out of range"), QStringLiteral("Error in Deleting"));
        return;
    }
    m_filling = true;
    delete m_list1->takeItem(p);
    m_filling = false;
    SaveModel();
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
    state().ModelName = name;
    SaveSettings();
    m_txtField->setFocus();
}

void ModelForm::fieldTextChanged()
{
    if (m_mode != ModelEdit::Spreadsheets)
        return;
    const QLTBas::ProgramState &s = state();
    const qsizetype i = ModelEdit::indexOfNoCase(s.SheetPaths, m_txtField->text());
    m_txtSheet->setText(i >= 0 ? QString::number(s.SheetNumbers.value(i)) : QStringLiteral("1"));
}

void ModelForm::sheetTextChanged()
{
    if (!m_txtSheet->hasFocus() || m_selectedSheet == 0 || m_txtSheet->text().isEmpty())
        return;
    // Numbers a sheet cannot have are not stored (they would wrap around).
    if (const auto number = ModelEdit::sheetNumber(m_txtSheet->text()))
        if (m_selectedSheet <= state().SheetCount())
            state().SheetNumbers[m_selectedSheet - 1] = *number;
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
        OpenWithAssociatedProgram(state().AppFolder, QStringLiteral("Sample Doc.rtf"));
    else if (m_mode == ModelEdit::Spreadsheets)
        OpenWithAssociatedProgram(state().AppFolder, QStringLiteral("Sample Spreadsheet.xls"));
}
