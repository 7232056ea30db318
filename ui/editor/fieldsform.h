#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QMainWindow>

class QLabel;
class QListWidget;
class Workspace;

// The small always-on-top palette shown beside the external editor: a click
// on a field puts its marker on the clipboard.
class FieldsForm : public SingleWindow<FieldsForm, QMainWindow> {
    Q_OBJECT
public:
    explicit FieldsForm(const Workspace &workspace);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    const Workspace &m_workspace;
    QLabel *m_prompt;
    QListWidget *m_fieldList;
};
