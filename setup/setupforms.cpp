#include "setup/setupforms.h"

#include "platform/gui/messagebox.h"
#include "platform/process.h"
#include "platform/gui/screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>

using Screen::twips;

SetupHelpForm::SetupHelpForm()
    // A sizable window without a close button; closing it another way counts as Cancel.
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint)
{
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Help"));
    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_text1->move(twips(120), twips(120));
    m_command1 = new QPushButton(QStringLiteral("&Install"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton *b : {m_command1, m_command2})
        b->resize(twips(1200), twips(375));
    connect(m_command1, &QPushButton::clicked, this, [this] { choose(true); });
    connect(m_command2, &QPushButton::clicked, this, [this] { choose(false); });
    const QSize screen = Screen::size();
    resize(screen.width() * 6 / 10, screen.height() * 6 / 10);
    Screen::centreForm(this);
}

void SetupHelpForm::setText(const QString &text) { m_text1->setPlainText(text); }

void SetupHelpForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width(), h = height();
    const int top = m_text1->y();
    m_text1->resize(std::max(100, w - 2 * m_text1->x()), std::max(20, h - 3 * top - m_command1->height()));
    const int x = std::max(0, (w - m_command1->width()) / 3);
    const int buttonTop = 2 * top + m_text1->height();
    m_command1->move(x, buttonTop);
    m_command2->move(2 * x, buttonTop);
}

bool SetupHelpForm::waitForInstallChoice()
{
    if (m_wait)
        return false; // a second wait while one runs returns at once
    m_chosen = false;
    show();
    m_command1->setFocus();
    QEventLoop loop;
    m_wait = &loop;
    if (!m_chosen)
        loop.exec();
    m_wait = nullptr;
    return m_install;
}

void SetupHelpForm::choose(bool install)
{
    m_chosen = true;
    m_install = install;
    if (m_wait)
        m_wait->quit();
    hide();
}

void SetupHelpForm::closeEvent(QCloseEvent *event)
{
    if (!m_chosen)
        choose(false);
    event->accept();
}

SetupWindows::~SetupWindows() { delete m_wait; }

bool SetupWindows::showSetupInformation(const QString &text)
{
    const QString caption = QStringLiteral("Quillmate Information");
    if (m_scripted)
        return Ask::show(text, caption, Ask::YesNo) == Ask::Yes;
    SetupHelpForm form;
    form.setWindowTitle(caption);
    form.setText(text);
    return form.waitForInstallChoice();
}

bool SetupWindows::askToContinue(const QString &text, const QString &title)
{
    return Ask::show(text, title, Ask::YesNo, Ask::Information) == Ask::Yes;
}

void SetupWindows::message(const QString &text, const QString &title) { Ask::show(text, title); }

void SetupWindows::showWait()
{
    if (!m_wait)
        m_wait = new PlainWaitForm("lblDots", QString());
    m_wait->showPainted();
}

void SetupWindows::setWaitCaption(const QString &caption)
{
    if (m_wait)
        m_wait->setLabel1(caption);
}

void SetupWindows::setDots(const QString &dots)
{
    if (!m_wait)
        return;
    m_wait->setThird(dots);
}

void SetupWindows::processEvents() { QApplication::processEvents(); }

void SetupWindows::closeWait()
{
    delete m_wait;
    m_wait = nullptr;
}

void SetupWindows::startProgram(const QString &program, const QString &workingFolder)
{
    Platform::startDetached(program, {}, workingFolder);
}
