#include "ui/dialogs/helpform.h"
#include "core/workspace.h"

#include "core/help/sections.h"
#include "core/model/qltbas.h"
#include "platform/gui/screen.h"

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

    m_helpText = new QPlainTextEdit(this);
    m_helpText->setObjectName(QStringLiteral("Text1"));
    m_helpText->setReadOnly(true);
    m_helpText->move(kMargin, kMargin);

    m_okButton = new QPushButton(QStringLiteral("&Ok"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);

    const QSize screen = Screen::size();
    resize(screen.width() * 8 / 10, screen.height() * 8 / 10);
    Screen::centreForm(this);
}

void HelpForm::setText(const QString &text) { m_helpText->setPlainText(text); }

void HelpForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    const int h = height();
    if (w - 3 * m_helpText->x() > 10)
        m_helpText->resize(w - 2 * m_helpText->x(), m_helpText->height());
    if (h - 75 > 10)
        m_helpText->resize(m_helpText->width(), h - 75);
    if (m_helpText->y() + m_helpText->height() + 15 > 0)
        m_okButton->move(m_okButton->x(), m_helpText->y() + m_helpText->height() + 15);
    m_okButton->move((w - m_okButton->width()) / 2, m_okButton->y());
}

void ShowInstructions(const Workspace &workspace, const QString &startMarker, const QString &endMarker)
{
    const QString text = Sections::instructionText(workspace.AppFolder);
    HelpForm *help = HelpForm::instance();
    help->setWindowTitle(QLTBas::ProductName + QStringLiteral(" Help"));
    help->setWindowState(help->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    help->show();
    help->raise();
    help->textBox()->setFocus();
    help->setText(Sections::cut(text, startMarker, endMarker));
}
