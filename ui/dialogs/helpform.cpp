#include "ui/dialogs/helpform.h"
#include "core/workspace.h"

#include "core/help/sections.h"
#include "core/model/qltbas.h"
#include "platform/screen.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {
constexpr int kMargin = 8; // pixels
}

HelpForm::HelpForm()
    : SingleWindow(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("HelpForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Help"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(pal);
    setAutoFillBackground(true);

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_text1->move(kMargin, kMargin);

    m_command1 = new QPushButton(QStringLiteral("&Ok"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    connect(m_command1, &QPushButton::clicked, this, &QWidget::close);

    const QSize screen = Screen::size();
    resize(screen.width() * 8 / 10, screen.height() * 8 / 10);
    Screen::centreForm(this);
}

void HelpForm::setText(const QString &text) { m_text1->setPlainText(text); }

QString HelpForm::text() const { return m_text1->toPlainText(); }

void HelpForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    const int h = height();
    if (w - 3 * m_text1->x() > 10)
        m_text1->resize(w - 2 * m_text1->x(), m_text1->height());
    if (h - 75 > 10)
        m_text1->resize(m_text1->width(), h - 75);
    if (m_text1->y() + m_text1->height() + 15 > 0)
        m_command1->move(m_command1->x(), m_text1->y() + m_text1->height() + 15);
    m_command1->move((w - m_command1->width()) / 2, m_command1->y());
}

void ShowInstructions(const QString &startMarker, const QString &endMarker)
{
    const QString text = Sections::instructionText(Workspace::current().AppFolder);
    HelpForm *help = HelpForm::instance();
    help->setWindowTitle(QLTBas::ProductName + QStringLiteral(" Help"));
    help->setWindowState(help->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    help->show();
    help->raise();
    help->textBox()->setFocus();
    help->setText(Sections::cut(text, startMarker, endMarker));
}
