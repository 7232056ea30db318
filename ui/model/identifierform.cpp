#include "ui/model/identifierform.h"
#include "core/workspace.h"

#include "ui/dialogs/helpform.h"
#include "ui/dialogs/mainwindowlink.h"
#include "core/model/datasets.h"
#include "core/model/names.h"
#include "platform/gui/messagebox.h"
#include "platform/gui/screen.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using Screen::twips;

namespace {
bool noModel(const Workspace &workspace, const QString &doing)
{
    // A name that could lead out of the model folder is no model to work with.
    if (Names::isSafeName(workspace.ModelName))
        return false;
    Ask::show(QStringLiteral("You have not selected a model to work with.\r\nYou must select a model before "
                                    "you can ") + doing + QStringLiteral(" data."),
                     QStringLiteral("Error"));
    return true;
}

void openIdentifierWindow(Workspace &workspace, WorkspaceData::DataOperation operation)
{
    workspace.Operation = operation;
    IdentifierForm::instance(workspace)->show();
    if (MainWindowLink *main = MainWindowLink::current())
        main->hideWindow();
}
} // namespace

IdentifierForm::IdentifierForm(Workspace &workspace)
    : SingleWindow(nullptr, Qt::Window)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("IdentifierForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Identifier Tag Form"));
    setFixedSize(twips(5400), twips(4800));

    // The prompt, the tag box with its caption, the list and the buttons,
    // top to bottom.
    auto *layout = new QVBoxLayout(this);
    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(m_prompt);
    auto *tagRow = new QHBoxLayout;
    auto *label2 = new QLabel(QStringLiteral("Identifier"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    tagRow->addWidget(label2);
    m_tagBox = new QLineEdit(this);
    m_tagBox->setObjectName(QStringLiteral("Text1"));
    tagRow->addWidget(m_tagBox, 1);
    layout->addLayout(tagRow);
    m_tagList = new QListWidget(this);
    m_tagList->setObjectName(QStringLiteral("List1"));
    layout->addWidget(m_tagList, 1);
    // The keyboard selects as the mouse does: either way the tag box follows.
    connect(m_tagList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> picked = m_tagList->selectedItems();
        if (!picked.isEmpty())
            m_tagBox->setText(picked.first()->text());
    });

    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    auto button = [this, buttons](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setMinimumSize(twips(1200), twips(375));
        buttons->addWidget(b);
        return b;
    };
    connect(button("Command1", QStringLiteral("&OK")), &QPushButton::clicked, this, &IdentifierForm::okClicked);
    connect(button("Command2", QStringLiteral("&Cancel")), &QPushButton::clicked, this, &QWidget::close);
    connect(button("Command3", QStringLiteral("&Help")), &QPushButton::clicked, this, [this] {
        if (m_workspace.Operation == WorkspaceData::DataOperation::Save)
            ShowInstructions(m_workspace, QStringLiteral("Saving Data"), QStringLiteral("Loading Data"));
        else
            ShowInstructions(m_workspace, QStringLiteral("Loading Data"), QStringLiteral("Uninstalling Quillmate"));
    });

    Screen::centreForm(this);
    m_tagList->addItems(DataSets::listTags(m_workspace.dataFolder()));
    const bool loading = m_workspace.Operation == WorkspaceData::DataOperation::Load;
    m_tagBox->setReadOnly(loading);
    m_prompt->setText(loading ? QStringLiteral("Select a tag to identify data to load")
                              : QStringLiteral("Create or select a tag to identify this data"));
}

void IdentifierForm::okClicked()
{
    const QString tag = m_tagBox->text();
    if (tag.isEmpty()) {
        Ask::show(QStringLiteral("You must input an identifier."), QStringLiteral("Error"), Ask::OkOnly,
                         Ask::NoIcon, this);
        return;
    }
    if (const Names::Problem problem = Names::fileNameProblem(tag); problem != Names::Problem::None) {
        Ask::show(QStringLiteral("The identifier \"") + tag + QStringLiteral("\" cannot be used as a file name. ")
                             + Names::refusal(problem) + QStringLiteral(" Please choose another."),
                         QStringLiteral("Error"), Ask::OkOnly, Ask::NoIcon, this);
        return;
    }
    m_workspace.DataTag = tag;
    const bool saving = m_workspace.Operation == WorkspaceData::DataOperation::Save;
    // The menu commands already make sure of a model; this only says so.
    if (noModel(m_workspace, saving ? QStringLiteral("save") : QStringLiteral("load"))) {
        close();
        return;
    }
    if (Status saved = saving ? m_workspace.saveDataSet() : Status(); !saved) {
        // A name the file system refuses is reported and the window stays
        // open for another one.
        Ask::show(saved.error() + QStringLiteral(" while saving data under \"") + tag + QStringLiteral("\"."),
                  QStringLiteral("Error"), Ask::OkOnly, Ask::NoIcon, this);
        return;
    }
    // A loaded data set shows in the main window, which follows the values.
    if (Status loaded = saving ? Status() : m_workspace.loadDataSet(); !loaded)
        Ask::show(loaded.error(), QStringLiteral("Error"));
    close();
}

void IdentifierForm::closeEvent(QCloseEvent *event)
{
    SingleWindow::closeEvent(event);
    if (MainWindowLink *main = MainWindowLink::current())
        main->showWindow();
}

void SaveDataCommand(Workspace &workspace)
{
    if (noModel(workspace, QStringLiteral("save")))
        return;
    QDir().mkpath(workspace.dataFolder());
    openIdentifierWindow(workspace, WorkspaceData::DataOperation::Save);
}

void LoadDataCommand(Workspace &workspace)
{
    if (noModel(workspace, QStringLiteral("load")))
        return;
    QDir().mkpath(workspace.dataFolder());
    if (DataSets::listTags(workspace.dataFolder()).isEmpty())
        Ask::show(QStringLiteral("You have no data saved for this model."), QStringLiteral("Error"));
    openIdentifierWindow(workspace, WorkspaceData::DataOperation::Load);
}
