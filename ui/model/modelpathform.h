#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;

// Where the model files are kept.
class ModelPathForm : public SingleWindow<ModelPathForm, QWidget> {
    Q_OBJECT
public:
    explicit ModelPathForm(Workspace &workspace);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void okClicked();

    Workspace &m_workspace;
    QLabel *m_prompt;
    QLabel *m_example;
    QLineEdit *m_pathBox;
    QPushButton *m_okButton;
};
