#pragma once

#include "ui/dialogs/singleinstance.h"
#include "core/editor/modeleditor.h"

#include <QList>
#include <QMainWindow>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class DrivePicker;
class FilePicker;
class FolderPicker;
class Workspace;

// The model editor: the model's fields, documents or spreadsheets, one
// list at a time. Every change is written to the model file at once.
class ModelForm : public SingleWindow<ModelForm, QMainWindow> {
    Q_OBJECT
public:
    explicit ModelForm(Workspace &workspace);

    void DoOperation();
    void setModelName(const QString &name);
    void focusModelName();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void setMode(ModelEdit::Mode mode);
    void placeControls();
    void refillList();
    void selectionChanged();
    void moveUp();
    void moveDown();
    void deleteItem();
    void unselect();
    void commonEnd();
    void modelNameEntered();
    void fieldTextChanged();
    void sheetTextChanged();
    void folderChanged();
    void fileClicked();
    void viewSample();
    void initialFolder();
    void operationFailed(const QString &description, const QString &title);
    // Every save goes to the file named by the model name box: an empty or
    // unusable name is refused, with the reason, before anything changes.
    bool modelNameUsable(const QString &title);
    // The editor's rules on the current model, written after each change.
    ModelEditor editor() const;
    // Shows a refusal's message; true when the command was done.
    bool shown(const EditResult &result);
    void removeSelected(int row, const QString &emptyMessage);

    void doFields();
    void doDocuments();
    void doSpreadsheets();
    void openEditorWithPalette(const QString &folder, const QString &fileName);

    Workspace &m_workspace;
    ModelEdit::Mode m_mode = ModelEdit::Fields;
    int m_editedField = 0;
    int m_selectedDocument = 0;
    int m_selectedSheet = 0;
    bool m_filling = false; // the list is being refilled by the program

    QLabel *m_modelNameLabel, *m_itemLabel, *m_instructions, *m_listLabel, *m_listInstructions;
    QLineEdit *m_modelNameBox, *m_itemBox, *m_sheetBox;
    QGroupBox *m_modeBox;
    QRadioButton *m_fieldsMode, *m_documentsMode, *m_spreadsheetsMode;
    QList<QLabel *> m_pickerLabels;
    DrivePicker *m_drivePicker;
    FolderPicker *m_folderPicker;
    FilePicker *m_filePicker;
    QListWidget *m_itemList;
    QPushButton *m_upButton, *m_downButton, *m_deleteButton, *m_unselectButton, *m_operationButton, *m_helpButton, *m_closeButton;
    QAction *m_viewSampleAction;
};

// Opens a file in the program the desktop associates with it, without
// waiting; failures stay silent.
void OpenWithAssociatedProgram(const QString &folder, const QString &fileName);
