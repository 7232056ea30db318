#include "ui/model/selectform.h"

#include "ui/dialogs/mainwindowlink.h"
#include "core/model/qltbas.h"
#include "platform/gui/messagebox.h"
#include "platform/gui/screen.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using Screen::twips;

SelectForm::SelectForm()
    : SingleWindow(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("SelectForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Model Selection"));
    setFixedSize(twips(4800), twips(4200));

    // The prompt, the list and the two buttons, top to bottom.
    auto *layout = new QVBoxLayout(this);
    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(m_prompt);

    m_modelList = new QListWidget(this);
    m_modelList->setObjectName(QStringLiteral("List1"));
    layout->addWidget(m_modelList, 1);
    connect(m_modelList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { pick(item->text()); });

    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setMinimumSize(twips(1200), twips(375));
    connect(ok, &QPushButton::clicked, this, &SelectForm::okClicked);

    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setMinimumSize(twips(1200), twips(375));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons);

    Screen::centreForm(this);
}

void SelectForm::setPrompt(const QString &prompt) { m_prompt->setText(prompt); }

void SelectForm::okClicked()
{
    QListWidgetItem *item = m_modelList->currentItem();
    if (!item || !item->isSelected()) {
        Ask::show(QStringLiteral("You must select an item from the list box."), QStringLiteral("Error"),
                         Ask::OkOnly, Ask::NoIcon, this);
        return;
    }
    pick(item->text());
}

void SelectForm::pick(const QString &model)
{
    m_pickedModel = model;
    m_picked = true;
    close();
}

void SelectForm::closeEvent(QCloseEvent *event)
{
    // Any way of closing other than a pick counts as Cancel.
    Q_EMIT finished(m_picked ? m_pickedModel : QString());
    if (MainWindowLink *main = MainWindowLink::current())
        main->showWindow();
    SingleWindow::closeEvent(event);
}
