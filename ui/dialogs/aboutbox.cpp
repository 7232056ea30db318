#include "ui/dialogs/aboutbox.h"
#include "core/workspace.h"

#include "core/model/qltbas.h"
#include "platform/process.h"
#include "platform/screen.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {
QLabel *addLabel(QWidget *parent, const char *name, const QString &text, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, Screen::twips(top), parent->width(), Screen::twips(360));
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
    QLabel *label1 = addLabel(this, "Label1", QLTBas::ProductName, 200);
    label1->setFont(QFont(QStringLiteral("Arial"), 18, QFont::Bold));
    label1->setGeometry(0, Screen::twips(200), width(), Screen::twips(480));
    addLabel(this, "Label5", QStringLiteral("Version ") + m_workspace.VersionText, 760);
    addLabel(this, "Label2", QStringLiteral("Written and maintained by"), 1160);
    addLabel(this, "Label3", QStringLiteral("the Quillmate developers"), 1440);

    m_makerAddress = addLabel(this, "Label4", makerAddress(), 1840);
    QPalette linkPal = m_makerAddress->palette();
    linkPal.setColor(QPalette::WindowText, Qt::blue);
    m_makerAddress->setPalette(linkPal);
    m_makerAddress->setCursor(Qt::PointingHandCursor);
    m_makerAddress->installEventFilter(this);

    auto *ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry((width() - Screen::twips(1200)) / 2, Screen::twips(2500), Screen::twips(1200),
                    Screen::twips(375));
    ok->setDefault(true);
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
