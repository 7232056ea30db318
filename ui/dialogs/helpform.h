#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class Workspace;

// The one instruction window, shared by every help command.
class HelpForm : public SingleWindow<HelpForm, QWidget> {
    Q_OBJECT
public:
    HelpForm();
    void setText(const QString &text);
    QPlainTextEdit *textBox() const { return m_helpText; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPlainTextEdit *m_helpText;
    QPushButton *m_okButton;
};

// Shows the instruction file's section from `startMarker` up to
// `endMarker` (either may be empty) in the help window.
// The instruction file is the one in the workspace's app folder.
void ShowInstructions(const Workspace &workspace, const QString &startMarker, const QString &endMarker);
