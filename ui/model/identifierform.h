#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;

// Picks the identifier tag under which typed values are saved or loaded.
class IdentifierForm : public SingleWindow<IdentifierForm, QWidget> {
    Q_OBJECT
public:
    IdentifierForm();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void okClicked();

    QLabel *m_prompt;
    QLineEdit *m_tagBox;
    QListWidget *m_tagList;
};

// The Save Data and Load Data commands of the main menu.
void SaveDataCommand();
void LoadDataCommand();
// Writes the typed values under DataTag; answers false, with `error` set,
// when the file could not be written.
bool SaveDataSet(QString *error);
void LoadDataSet();
