#include "ui/dialogs/waitform.h"

#include "platform/gui/screen.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

WaitForm::WaitForm()
    : SingleWindow(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("WaitForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Wait"));
    setFixedSize(Screen::twips(4800), Screen::twips(1200));

    // Two centred lines, the step text below the fixed one.
    auto *layout = new QVBoxLayout(this);
    m_pleaseWait = new QLabel(QStringLiteral("Please Wait"), this);
    m_pleaseWait->setObjectName(QStringLiteral("Label1"));
    m_pleaseWait->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_pleaseWait);
    m_actionLabel = new QLabel(this);
    m_actionLabel->setObjectName(QStringLiteral("lblAction"));
    m_actionLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_actionLabel);

    Screen::centreForm(this);
}

void WaitForm::showAction(const QString &text)
{
    WaitForm *wait = instance();
    wait->setAction(text);
    wait->show();
    QApplication::processEvents();
}

void WaitForm::setAction(const QString &text)
{
    m_actionLabel->setText(text);
    // Screen readers hear each step: the label's name changes (Qt tells
    // them), and the window's description carries it too.
    m_actionLabel->setAccessibleName(text);
    setAccessibleDescription(text);
    QAccessibleEvent announce(m_actionLabel, QAccessible::Alert);
    QAccessible::updateAccessibility(&announce);
}
