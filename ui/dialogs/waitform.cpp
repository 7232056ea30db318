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

    m_label1 = new QLabel(QStringLiteral("Please Wait"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignCenter);
    m_label1->setGeometry(0, Screen::twips(150), width(), Screen::twips(300));

    m_lblAction = new QLabel(this);
    m_lblAction->setObjectName(QStringLiteral("lblAction"));
    m_lblAction->setAlignment(Qt::AlignCenter);
    m_lblAction->setGeometry(Screen::twips(120), Screen::twips(600), width() - Screen::twips(240),
                             Screen::twips(300));

    Screen::centreForm(this);
}

void WaitForm::setAction(const QString &text) { m_lblAction->setText(text); }

QString WaitForm::action() const { return m_lblAction->text(); }
