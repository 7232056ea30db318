#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QLabel;
class QListWidget;

// Model selection: the caller fills the prompt and the list, shows the
// window and waits; the choice comes back by `finished`.
class SelectForm : public SingleWindow<SelectForm, QWidget> {
    Q_OBJECT
public:
    SelectForm();
    void setPrompt(const QString &prompt);
    QListWidget *list() const { return m_modelList; }

Q_SIGNALS:
    // The window closes: the model picked, "" for Cancel.
    void finished(const QString &pickedModel);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void pick(const QString &model);
    void okClicked();

    QLabel *m_prompt;
    QListWidget *m_modelList;
    QString m_pickedModel;
    bool m_picked = false;
};
