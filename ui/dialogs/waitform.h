#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QLabel;

// A passive window that says what a long run is doing.
class WaitForm : public SingleWindow<WaitForm, QWidget> {
    Q_OBJECT
public:
    WaitForm();
    void setAction(const QString &text);
    // Shows the window with this step and lets pending events run.
    static void showAction(const QString &text);

private:
    QLabel *m_pleaseWait;
    QLabel *m_actionLabel;
};
