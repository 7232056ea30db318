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

// The model editor: the model's fields, documents or spreadsheets, one
// list at a time. Every change is written to the model file at once.
class ModelForm : public SingleWindow<ModelForm, QMainWindow> {
    Q_OBJECT
public:
    ModelForm();

    void DoOperation();
    void FillFieldsList();
    void setModelName(const QString &name);
    void focusModelName();

    int mode() const { return m_mode; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void setMode(int mode);
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
    // The editor's rules on the current model; SaveModel writes it.
    ModelEditor editor() const;
    // Shows a refusal's message; true when the command was done.
    bool shown(const EditResult &result);
    void removeSelected(int row, const QString &emptyMessage);

    void doFields();
    void doDocuments();
    void doSpreadsheets();
    void openEditorWithPalette(const QString &folder, const QString &fileName);

    int m_mode = 1;
    int m_editedField = 0;
    int m_selectedDocument = 0;
    int m_selectedSheet = 0;
    bool m_filling = false; // the list is being refilled by the program

    QLabel *m_label5, *m_label1, *m_label2, *m_label3, *m_label4;
    QLineEdit *m_txtModelName, *m_txtField, *m_txtSheet;
    QGroupBox *m_frame1;
    QRadioButton *m_option1, *m_option2, *m_option3;
    QList<QLabel *> m_lblS;
    DrivePicker *m_drive1;
    FolderPicker *m_dir1;
    FilePicker *m_file1;
    QListWidget *m_list1;
    QPushButton *m_butUp, *m_butDown, *m_butDelete, *m_butUnselect, *m_butEdit, *m_butHelp, *m_butClose;
    QAction *m_mnuViewSample;
};

// Opens a file in the program the desktop associates with it, without
// waiting; failures stay silent.
void OpenWithAssociatedProgram(const QString &folder, const QString &fileName);
