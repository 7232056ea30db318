#pragma once

#include "installkit/plainwaitform.h"
#include "setup/installer.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The information window: the instruction text with Install and Cancel.
class SetupHelpForm : public QWidget {
    Q_OBJECT
public:
    SetupHelpForm();
    void setText(const QString &text);
    // Shows the window and waits for Install (true), Cancel or the frame's
    // close (false).
    bool waitForInstallChoice();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void choose(bool install);

    QPlainTextEdit *m_text1;
    QPushButton *m_command1;
    QPushButton *m_command2;
    bool m_chosen = false;
    bool m_install = false;
    class QEventLoop *m_wait = nullptr;
};

// The installer's windows, as the install sequence sees them.
class SetupWindows : public SETUP1::Ui {
public:
    // `scripted`: the information window is answered by the message-box
    // script too (the real program run unattended by tests).
    explicit SetupWindows(bool scripted = false) : m_scripted(scripted) {}
    ~SetupWindows() override;
    bool showSetupInformation(const QString &text) override;
    bool askToContinue(const QString &text, const QString &title) override;
    void message(const QString &text, const QString &title) override;
    void showWait() override;
    void setWaitCaption(const QString &caption) override;
    void setDots(const QString &dots) override;
    void processEvents() override;
    void closeWait() override;
    void startProgram(const QString &program, const QString &workingFolder) override;

private:
    bool m_scripted;
    PlainWaitForm *m_wait = nullptr;
};
