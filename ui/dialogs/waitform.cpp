#include "ui/dialogs/waitform.h"

#include "platform/screen.h"

#include <QLabel>

WaitForm::WaitForm()
    : SingleWindow(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("WaitForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Wait"));
    setFixedSize(Screen::twips(4800), Screen::twips(1200));

    m_pleaseWait = new QLabel(QStringLiteral("Please Wait"), this);
    m_pleaseWait->setObjectName(QStringLiteral("Label1"));
    m_pleaseWait->setAlignment(Qt::AlignCenter);
    m_pleaseWait->setGeometry(0, Screen::twips(150), width(), Screen::twips(300));

    m_actionLabel = new QLabel(this);
    m_actionLabel->setObjectName(QStringLiteral("lblAction"));
    m_actionLabel->setAlignment(Qt::AlignCenter);
    m_actionLabel->setGeometry(Screen::twips(120), Screen::twips(600), width() - Screen::twips(240),
                             Screen::twips(300));

    Screen::centreForm(this);
}

void WaitForm::setAction(const QString &text) { m_actionLabel->setText(text); }

QString WaitForm::action() const { return m_actionLabel->text(); }
