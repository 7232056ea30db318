#include "ui/dialogs/waitform.h"

#include "platform/screen.h"

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

void WaitForm::setAction(const QString &text) { m_actionLabel->setText(text); }
