#include "ui/editor/fieldsform.h"
#include "core/workspace.h"

#include "ui/dialogs/helpform.h"
#include "ui/editor/modelform.h"
#include "core/model/qltbas.h"
#include "platform/gui/screen.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>

using Screen::twips;

FieldsForm::FieldsForm(const Workspace &workspace, ModelEdit::Mode mode)
    : SingleWindow(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_workspace(workspace)
    , m_mode(mode)
{
    setObjectName(QStringLiteral("FieldsForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Fields"));
    auto *central = new QWidget(this);
    setCentralWidget(central);

    m_prompt = new QLabel(central);
    m_prompt->setObjectName(QStringLiteral("Label1"));
    m_prompt->setWordWrap(true);
    m_prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_fieldList = new QListWidget(central);
    m_fieldList->setObjectName(QStringLiteral("List1"));
    m_fieldList->addItems(m_workspace.FieldNames);
    connect(m_fieldList, &QListWidget::itemClicked, this, [](QListWidgetItem *item) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(QLatin1Char('&') + item->text() + QLatin1Char('&'));
    });

    const bool sheets = m_mode == ModelEdit::Spreadsheets;
    m_prompt->setText(
        sheets ? QStringLiteral("Edit the spreadsheet by creating a row or column of labels and a row or column of field "
                                "markers. To add a field marker to the spreadsheet, click on field on the list below, "
                                "then click on spreadsheet cell where you want to insert field and press Shift-Ins to "
                                "paste the field marker into the cell. When you are finished, save the spreadsheet and "
                                "exit the spreadsheet program, then click on the X in the upper right corner of this "
                                "screen.")
               : QStringLiteral("Edit the form in the displayed word processor. (You may cut and paste from other "
                                "documents into this form to do this if you like.) To add a field marker to a form, "
                                "click on field on the list below, then click on form where you want to insert field "
                                "to set the cursor there and press Shift-Ins to paste the field marker on the form. When "
                                "you are finished, save the form, and exit the word processor, then click on the X in "
                                "the upper right corner of this screen."));

    QAction *help = menuBar()->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(help, &QAction::triggered, this, [this] {
        if (m_mode == ModelEdit::Spreadsheets)
            ShowInstructions(m_workspace, QStringLiteral("Create either a row or a column of labels"),
                             QStringLiteral("You can edit spreadsheets that you have already "));
        else
            ShowInstructions(m_workspace, QStringLiteral("You can minimize this Fields box for now. Then, create the document "),
                             QStringLiteral("You can then repeat the entire process to add more documents"));
    });

    resize(twips(4920), twips(4890) + menuBar()->sizeHint().height());
    // The editor steps aside, off the screen, while the palette is up.
    if (ModelForm *editor = ModelForm::existing()) {
        editor->setWindowState(Qt::WindowNoState);
        editor->move(3 * Screen::size().width(), editor->y());
    }
}

void FieldsForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    const int margin = twips(120);
    const int w = centralWidget()->width();
    m_prompt->setGeometry(margin, margin, std::max(0, w - 3 * margin), m_prompt->heightForWidth(w - 3 * margin));
    const int listTop = m_prompt->y() + m_prompt->height() + twips(50);
    m_fieldList->setGeometry(margin, listTop, std::max(0, w - 3 * margin),
                         std::max(0, centralWidget()->height() - twips(500) - listTop));
}

void FieldsForm::closeEvent(QCloseEvent *event)
{
    SingleWindow::closeEvent(event);
    // The external editor is left alone; the model editor comes back.
    if (ModelForm *editor = ModelForm::existing()) {
        editor->show();
        Screen::centreForm(editor);
        editor->setWindowState(Qt::WindowMaximized);
    }
}
