#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class Workspace;

// Picks the identifier tag under which typed values are saved or loaded.
class IdentifierForm : public SingleWindow<IdentifierForm, QWidget> {
    Q_OBJECT
public:
    explicit IdentifierForm(Workspace &workspace);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void okClicked();

    Workspace &m_workspace;
    QLabel *m_prompt;
    QLineEdit *m_tagBox;
    QListWidget *m_tagList;
};

// The Save Data and Load Data commands of the main menu.
void SaveDataCommand(Workspace &workspace);
void LoadDataCommand(Workspace &workspace);
