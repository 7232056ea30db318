#pragma once

#include "remove/remove.h"

#include <QFrame>

class QLabel;

// The uninstaller's wait window: no title bar, the phase in DoingWhat.
class RemoveWaitForm : public QFrame {
    Q_OBJECT
public:
    RemoveWaitForm();
    void setDoingWhat(const QString &text);

private:
    QLabel *m_doingWhat;
};

class RemoveWindows : public Remove::Ui {
public:
    ~RemoveWindows() override;
    bool confirm(const QString &text, const QString &title) override;
    void message(const QString &text, const QString &title) override;
    void showWait() override;
    void setDoingWhat(const QString &text) override;
    void processEvents() override;
    void closeWait() override;

private:
    RemoveWaitForm *m_wait = nullptr;
};
