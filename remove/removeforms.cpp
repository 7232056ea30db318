#include "remove/removeforms.h"

#include "platform/messagebox.h"
#include "platform/screen.h"

#include <QApplication>

RemoveWindows::~RemoveWindows() { delete m_wait; }

bool RemoveWindows::confirm(const QString &text, const QString &title)
{
    return MessageBox::show(text, title, MessageBox::YesNo, MessageBox::Question) == MessageBox::Yes;
}

void RemoveWindows::message(const QString &text, const QString &title) { MessageBox::show(text, title); }

void RemoveWindows::showWait()
{
    if (!m_wait)
        m_wait = new PlainWaitForm("DoingWhat", QString(19, QLatin1Char('-')));
    m_wait->setWindowState(Qt::WindowNoState);
    m_wait->showPainted();
    Screen::centreForm(m_wait);
}

void RemoveWindows::setDoingWhat(const QString &text)
{
    if (m_wait)
        m_wait->setThird(text);
}

void RemoveWindows::processEvents() { QApplication::processEvents(); }

void RemoveWindows::closeWait()
{
    delete m_wait;
    m_wait = nullptr;
}
