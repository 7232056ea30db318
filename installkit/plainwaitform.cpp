#include "installkit/plainwaitform.h"

#include "platform/gui/screen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QVBoxLayout>
#include <QWindow>

using Screen::twips;

PlainWaitForm::PlainWaitForm(const char *thirdName, const QString &thirdText)
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("WaitForm"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(2);
    setFixedSize(twips(4800), twips(1500));
    // Three centred lines, one under the other.
    auto *layout = new QVBoxLayout(this);
    auto label = [this, layout](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
        return l;
    };
    label("Label2", QStringLiteral("Please Wait"));
    m_label1 = label("Label1", QStringLiteral("Working"));
    m_third = label(thirdName, thirdText);
    Screen::centreForm(this);
}

void PlainWaitForm::showPainted()
{
    show();
    // The window system maps the window some time after show(); until then
    // a repaint draws nothing. The wait is bounded: a window manager that
    // never maps it must not stall the program.
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    repaint();
}

void PlainWaitForm::setLabel1(const QString &text) { m_label1->setText(text); }

void PlainWaitForm::setThird(const QString &text)
{
    m_third->setText(text);
    repaint();
}
