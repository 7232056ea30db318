#include "remove/removeforms.h"

#include "platform/messagebox.h"
#include "platform/screen.h"

#include <QApplication>
#include <QLabel>

using Screen::twips;

RemoveWaitForm::RemoveWaitForm()
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("WaitForm"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(2);
    setFixedSize(twips(4800), twips(1500));
    auto label = [this](const char *name, const QString &text, int top) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(twips(120), twips(top), width() - twips(240), twips(300));
        return l;
    };
    label("Label2", QStringLiteral("Please Wait"), 150);
    label("Label1", QStringLiteral("Working"), 550);
    m_doingWhat = label("DoingWhat", QString(19, QLatin1Char('-')), 950);
    Screen::centreForm(this);
}

void RemoveWaitForm::setDoingWhat(const QString &text)
{
    m_doingWhat->setText(text);
    repaint();
}

RemoveWindows::~RemoveWindows() { delete m_wait; }

bool RemoveWindows::confirm(const QString &text, const QString &title)
{
    return MessageBox::show(text, title, MessageBox::YesNo, MessageBox::Question) == MessageBox::Yes;
}

void RemoveWindows::message(const QString &text, const QString &title) { MessageBox::show(text, title); }

void RemoveWindows::showWait()
{
    if (!m_wait)
        m_wait = new RemoveWaitForm;
    m_wait->setWindowState(Qt::WindowNoState);
    m_wait->show();
    Screen::centreForm(m_wait);
}

void RemoveWindows::setDoingWhat(const QString &text)
{
    if (m_wait)
        m_wait->setDoingWhat(text);
}

void RemoveWindows::processEvents() { QApplication::processEvents(); }

void RemoveWindows::closeWait()
{
    delete m_wait;
    m_wait = nullptr;
}
