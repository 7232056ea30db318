#include "ui/model/modelpathform.h"
#include "core/workspace.h"

#include "ui/mainwin/mainform.h"
#include "core/model/modelpath.h"
#include "ui/mainwin/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/messagebox.h"
#include "platform/screen.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using Screen::twips;

ModelPathForm::ModelPathForm()
    : SingleWindow(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("ModelPathForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Select location to store models"));

    m_label1 = new QLabel(QStringLiteral("Input path to model files."), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->move(0, twips(120));
    m_label2 = new QLabel(QStringLiteral("Example:  D:\\MyPath\\"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->move(0, twips(420));

    m_text1 = new QLineEdit(Workspace::current().ModelFolder, this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(twips(120), twips(840), twips(5000), twips(315));
    connect(m_text1, &QLineEdit::returnPressed, this, &ModelPathForm::okClicked);

    m_command1 = new QPushButton(QStringLiteral("&OK"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(0, twips(1440), twips(1200), twips(375));
    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &ModelPathForm::okClicked);

    resize(twips(6000), twips(2200));
    Screen::centreForm(this);
}

void ModelPathForm::okClicked()
{
    const ModelPath::Check check = ModelPath::normalise(m_text1->text(), Platform::homeDrive());
    if (!check.ok) {
        Ask::show(check.message, QStringLiteral("Error"), Ask::OkOnly, Ask::NoIcon, this);
        return;
    }
    Workspace &s = Workspace::current();
    if (check.path != s.ModelFolder) {
        // A folder that is not there, or samples that cannot be copied, must
        // not leave the program pointing at nothing: keep the old folder.
        QString error;
        if (!ModelPath::copySampleFiles(s.ModelFolder, check.path, &error)) {
            Ask::show(error, QStringLiteral("Error"), Ask::OkOnly, Ask::NoIcon, this);
            return;
        }
        s.ModelFolder = check.path;
        SaveSettings();
    }
    close();
}

void ModelPathForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_label1->resize(width(), m_label1->sizeHint().height());
    m_label2->resize(width(), m_label2->sizeHint().height());
    m_text1->resize(std::max(0, width() - 2 * m_text1->x()), m_text1->height());
    m_command1->move((width() - m_command1->width()) / 2, m_command1->y());
}

void ModelPathForm::closeEvent(QCloseEvent *event)
{
    if (MainForm *main = MainForm::existing())
        main->show();
    SingleWindow::closeEvent(event);
}
