#include "ui/model/modelpathform.h"
#include "core/workspace.h"

#include "ui/dialogs/mainwindowlink.h"
#include "core/model/modelpath.h"
#include "core/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/gui/messagebox.h"
#include "platform/gui/screen.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Screen::twips;

ModelPathForm::ModelPathForm(Workspace &workspace)
    : SingleWindow(nullptr, Qt::Window)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("ModelPathForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Select location to store models"));

    m_prompt = new QLabel(QStringLiteral("Input path to model files."), this);
    m_prompt->setObjectName(QStringLiteral("Label1"));
    m_prompt->move(0, twips(120));
    m_example = new QLabel(QStringLiteral("Example:  D:\\MyPath\\"), this);
    m_example->setObjectName(QStringLiteral("Label2"));
    m_example->move(0, twips(420));

    m_pathBox = new QLineEdit(m_workspace.ModelFolder, this);
    m_pathBox->setObjectName(QStringLiteral("Text1"));
    m_pathBox->setGeometry(twips(120), twips(840), twips(5000), twips(315));
    connect(m_pathBox, &QLineEdit::returnPressed, this, &ModelPathForm::okClicked);

    m_okButton = new QPushButton(QStringLiteral("&OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setGeometry(0, twips(1440), twips(1200), twips(375));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &ModelPathForm::okClicked);

    resize(twips(6000), twips(2200));
    Screen::centreForm(this);
}

void ModelPathForm::okClicked()
{
    const ModelPath::Check check = ModelPath::normalise(m_pathBox->text(), Platform::homeDrive());
    if (!check.ok) {
        Ask::show(check.message, QStringLiteral("Error"), Ask::OkOnly, Ask::NoIcon, this);
        return;
    }
    Workspace &s = m_workspace;
    if (check.path != s.ModelFolder) {
        // A folder that is not there, or samples that cannot be copied, must
        // not leave the program pointing at nothing: keep the old folder.
        if (Status copied = ModelPath::copySampleFiles(s.ModelFolder, check.path); !copied) {
            Ask::show(copied.error(), QStringLiteral("Error"), Ask::OkOnly, Ask::NoIcon, this);
            return;
        }
        s.ModelFolder = check.path;
        ModelStore::saveSettings(s);
    }
    close();
}

void ModelPathForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_prompt->resize(width(), m_prompt->sizeHint().height());
    m_example->resize(width(), m_example->sizeHint().height());
    m_pathBox->resize(std::max(0, width() - 2 * m_pathBox->x()), m_pathBox->height());
    m_okButton->move((width() - m_okButton->width()) / 2, m_okButton->y());
}

void ModelPathForm::closeEvent(QCloseEvent *event)
{
    if (MainWindowLink *main = MainWindowLink::current())
        main->showWindow();
    SingleWindow::closeEvent(event);
}
