#pragma once

#include "remove/remove.h"
#include "installkit/plainwaitform.h"

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
    PlainWaitForm *m_wait = nullptr;
};
