#include "remove/removeforms.h"

#include "platform/gui/messagebox.h"
#include "platform/gui/screen.h"

#include <QApplication>

RemoveWindows::~RemoveWindows() { delete m_wait; }

bool RemoveWindows::confirm(const QString &text, const QString &title)
{
    return Ask::show(text, title, Ask::YesNo, Ask::Question) == Ask::Yes;
}

void RemoveWindows::message(const QString &text, const QString &title) { Ask::show(text, title); }

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
