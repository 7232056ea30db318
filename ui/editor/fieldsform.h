#pragma once

#include "ui/dialogs/singleinstance.h"
#include "core/editor/modeledit.h"

#include <QMainWindow>

class QLabel;
class QListWidget;
class Workspace;

// The small always-on-top palette shown beside the external editor: a click
// on a field puts its marker on the clipboard.
class FieldsForm : public SingleWindow<FieldsForm, QMainWindow> {
    Q_OBJECT
public:
    // `mode` is the editor's list being edited: documents or spreadsheets.
    FieldsForm(const Workspace &workspace, ModelEdit::Mode mode);
    // The editor's list of its latest operation, which its help follows.
    void setMode(ModelEdit::Mode mode) { m_mode = mode; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    const Workspace &m_workspace;
    ModelEdit::Mode m_mode;
    QLabel *m_prompt;
    QListWidget *m_fieldList;
};
