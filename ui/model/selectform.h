#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QLabel;
class QListWidget;
class Workspace;

// Model selection: the caller fills the prompt and the list, shows the
// window and waits; the choice comes back in PickedModel.
class SelectForm : public SingleWindow<SelectForm, QWidget> {
    Q_OBJECT
public:
    explicit SelectForm(Workspace &workspace);
    void setPrompt(const QString &prompt);
    QListWidget *list() const { return m_modelList; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void pick(const QString &model);
    void okClicked();

    Workspace &m_workspace;
    QLabel *m_prompt;
    QListWidget *m_modelList;
    bool m_picked = false;
};
