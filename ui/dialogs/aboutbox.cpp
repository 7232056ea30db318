#include "ui/dialogs/aboutbox.h"
#include "core/workspace.h"

#include "core/model/qltbas.h"
#include "platform/process.h"
#include "platform/gui/screen.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel *addLabel(QWidget *parent, QVBoxLayout *layout, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return label;
}
} // namespace

AboutBox::AboutBox(const Workspace &workspace)
    // No close, minimise or maximise buttons: the box is left with Ok.
    : SingleWindow(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Screen::twips(5400), Screen::twips(3300));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(pal);
    setAutoFillBackground(true);

    setWindowTitle(QStringLiteral("About ") + QLTBas::ProductName);
    // Centred lines top to bottom, the button centred below them.
    auto *layout = new QVBoxLayout(this);
    QLabel *label1 = addLabel(this, layout, "Label1", QLTBas::ProductName);
    label1->setFont(QFont(QStringLiteral("Arial"), 18, QFont::Bold));
    addLabel(this, layout, "Label5", QStringLiteral("Version ") + m_workspace.VersionText);
    layout->addSpacing(Screen::twips(120));
    addLabel(this, layout, "Label2", QStringLiteral("Written and maintained by"));
    addLabel(this, layout, "Label3", QStringLiteral("the Quillmate developers"));
    layout->addSpacing(Screen::twips(120));
    m_makerAddress = addLabel(this, layout, "Label4", makerAddress());
    QPalette linkPal = m_makerAddress->palette();
    linkPal.setColor(QPalette::WindowText, Qt::blue);
    m_makerAddress->setPalette(linkPal);
    m_makerAddress->setCursor(Qt::PointingHandCursor);
    m_makerAddress->installEventFilter(this);

    auto *ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setMinimumSize(Screen::twips(1200), Screen::twips(375));
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    Screen::centreForm(this);
}

QString AboutBox::makerAddress() { return QStringLiteral("https://www.quillmate.org/"); }

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_makerAddress && event->type() == QEvent::MouseButtonRelease) {
        OpenMakerPage(m_workspace);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void OpenMakerPage(const Workspace &workspace)
{
    // The pointer file is never read: it only tells which program the desktop
    // uses for web pages.
    const QString browser = Platform::findAssociatedProgram(workspace.AppFolder + QStringLiteral("Pointer.html"));
    if (browser.isEmpty())
        return;
    Platform::startDetached(browser, {AboutBox::makerAddress()});
}
