#include "ui/editor/modelform.h"
#include "core/workspace.h"
#include "core/model/names.h"

#include "ui/dialogs/helpform.h"
#include "ui/editor/filepickers.h"
#include "core/editor/modeledit.h"
#include "ui/mainwin/mainform.h"
#include "ui/mainwin/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/messagebox.h"
#include "platform/screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

using Screen::twips;

namespace {
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 375;

const char *const kAddTexts[] = {
    "To add fields such as \"First Name\",\"Date of Birth\", etc. to the model, type field name and press Enter.",
    "To add documents, type a document name and press Enter. Your default document editor will run, containing a "
    "starter document. This document will contain field markers such as \"&First Name&\" at the top. Create the "
    "desired document, move the field markers to the desired locations (or delete any unwanted markers). Then save "
    "the document and close the editor.",
    "To edit a spreadsheet so that you can use Quillmate on it, select the path and file name for the spreadsheet. "
    "Select which sheet by number (1,2, etc.). Then press the Edit button. Edit the spreadsheet by adding either a "
    "row or column of markers. You can cut and paste from the list provided. Then save the spreadsheet and close "
    "the editor."};
const char *const kEditTexts[] = {
    "To edit an existing field, select the field name from the list below, edit it in the box above, and press "
    "Enter.",
    "To edit an existing document, select the document name from the list below and click on Edit button. Your "
    "default document editor will run, containing the document. Make the desired changes and save the document, "
    "then close the editor.",
    "To edit an existing spreadsheet, select the spreadsheet name from the list below. Your default spreadsheet "
    "editor will run, containing the spreadsheet. Make the desired changes and save the spreadsheet, then close "
    "the editor."};
const char *const kEntryNames[] = {"Field name", "Document name", "Spreadsheet name"};
const char *const kListNames[] = {"Existing fields", "Existing documents", "Existing spreadsheets"};

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel *wrappedLabel(QWidget *parent, const char *name)
{
    auto *label = named(new QLabel(parent), name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
} // namespace

ModelForm::ModelForm()
{
    setObjectName(QStringLiteral("ModelForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Create/Edit Model"));
    auto *central = new QWidget(this);
    setCentralWidget(central);

    m_label5 = named(new QLabel(QStringLiteral("Model Name"), central), "Label5");
    m_txtModelName = named(new QLineEdit(central), "txtModelName");
    connect(m_txtModelName, &QLineEdit::textChanged, this, [](const QString &t) { Workspace::current().ModelName = t; });
    connect(m_txtModelName, &QLineEdit::returnPressed, this, &ModelForm::modelNameEntered);

    m_frame1 = named(new QGroupBox(QStringLiteral("Operation"), central), "Frame1");
    m_option1 = named(new QRadioButton(QStringLiteral("Fields"), m_frame1), "Option1");
    m_option2 = named(new QRadioButton(QStringLiteral("Documents"), m_frame1), "Option2");
    m_option3 = named(new QRadioButton(QStringLiteral("Spreadsheets"), m_frame1), "Option3");
    for (auto [button, mode] : {std::pair{m_option1, 1}, std::pair{m_option2, 2}, std::pair{m_option3, 3}}) {
        button->adjustSize();
        connect(button, &QRadioButton::clicked, this, [this, m = mode] { setMode(m); });
    }

    m_label2 = wrappedLabel(central, "Label2");
    m_label1 = named(new QLabel(central), "Label1");
    m_txtField = named(new QLineEdit(central), "txtField");
    connect(m_txtField, &QLineEdit::returnPressed, this, &ModelForm::DoOperation);
    connect(m_txtField, &QLineEdit::textChanged, this, &ModelForm::fieldTextChanged);

    const char *const smallNames[] = {"lblS1", "lblS2", "lblS3", "lblS4"};
    const char *const smallTexts[] = {"Drive", "Folder", "File", "Sheet"};
    for (int i = 0; i < 4; ++i)
        m_lblS.append(named(new QLabel(QLatin1String(smallTexts[i]), central), smallNames[i]));
    m_drive1 = named(new DrivePicker(central), "Drive1");
    m_dir1 = named(new FolderPicker(central), "Dir1");
    m_file1 = named(new FilePicker(central), "File1");
    m_txtSheet = named(new QLineEdit(QStringLiteral("1"), central), "txtSheet");
    connect(m_drive1, &QComboBox::currentTextChanged, this, [this](const QString &d) { m_dir1->setPath(d); });
    connect(m_dir1, &FolderPicker::pathChanged, this, &ModelForm::folderChanged);
    connect(m_file1, &QListWidget::itemClicked, this, &ModelForm::fileClicked);
    connect(m_txtSheet, &QLineEdit::textChanged, this, &ModelForm::sheetTextChanged);

    m_label4 = wrappedLabel(central, "Label4");
    m_label3 = named(new QLabel(central), "Label3");
    m_list1 = named(new QListWidget(central), "List1");
    connect(m_list1, &QListWidget::itemSelectionChanged, this, &ModelForm::selectionChanged);

    auto button = [central](const char *name, const QString &caption) {
        auto *b = named(new QPushButton(caption, central), name);
        b->resize(twips(kButtonWidth), twips(kButtonHeight));
        return b;
    };
    m_butUp = button("butUp", QStringLiteral("Move Up"));
    m_butDown = button("butDown", QStringLiteral("Move Down"));
    m_butDelete = button("butDelete", QStringLiteral("Delete"));
    m_butUnselect = button("butUnselect", QStringLiteral("Unselect"));
    m_butEdit = button("butEdit", QStringLiteral("&Add"));
    m_butHelp = button("butHelp", QStringLiteral("&Help"));
    m_butClose = button("butClose", QStringLiteral("&Close"));
    for (QPushButton *b : {m_butUp, m_butDown, m_butDelete, m_butUnselect})
        b->setEnabled(false);
    connect(m_butUp, &QPushButton::clicked, this, &ModelForm::moveUp);
    connect(m_butDown, &QPushButton::clicked, this, &ModelForm::moveDown);
    connect(m_butDelete, &QPushButton::clicked, this, &ModelForm::deleteItem);
    connect(m_butUnselect, &QPushButton::clicked, this, &ModelForm::unselect);
    connect(m_butEdit, &QPushButton::clicked, this, &ModelForm::DoOperation);
    connect(m_butHelp, &QPushButton::clicked, this, [] {
        ShowInstructions(QStringLiteral("     This screen allows you to create and edit models"),
                         QStringLiteral("Editing existing models"));
    });
    connect(m_butClose, &QPushButton::clicked, this, &QWidget::close);

    buildMenu();
    resize(twips(9600), twips(7245) + menuBar()->sizeHint().height());
    m_option1->setChecked(true);
    setMode(1);
    Screen::centreForm(this);
    initialFolder();
}

void ModelForm::buildMenu()
{
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction *instructions = help->addAction(QStringLiteral("&Instructions"));
    instructions->setObjectName(QStringLiteral("mnuInstructions"));
    connect(instructions, &QAction::triggered, m_butHelp, &QPushButton::click);
    m_mnuViewSample = help->addAction(QStringLiteral("&View sample"));
    m_mnuViewSample->setObjectName(QStringLiteral("mnuViewSample"));
    connect(m_mnuViewSample, &QAction::triggered, this, &ModelForm::viewSample);
}

void ModelForm::initialFolder()
{
    // The documents folder first, then the shared one, then the app folder
    // with a one-time notice.
    if (m_dir1->setPath(Platform::documentsFolder()) || m_dir1->setPath(Platform::sharedDocumentsFolder()))
        return;
    const QString app = Workspace::current().AppFolder;
    m_dir1->setPath(app);
    const QString marker = app + QStringLiteral("Marker");
    if (QLTBas::FileExists(marker))
        return;
    QFile file(marker);
    if (file.open(QIODevice::WriteOnly))
        file.write("\r\n");
    Ask::show(QStringLiteral("Due to an incompatiblitly with your operating system,\r\nyour files will be "
                                    "placed in\r\nthe C:\\Quillmate instead of your\r\nDocuments folder. Please make "
                                    "a note of this."));
}

void ModelForm::setModelName(const QString &name) { m_txtModelName->setText(name); }

void ModelForm::focusModelName() { m_txtModelName->setFocus(); }

void ModelForm::setMode(int mode)
{
    m_mode = mode;
    const int i = mode - 1;
    m_label1->setText(QLatin1String(kEntryNames[i]));
    m_label2->setText(QString::fromUtf8(kAddTexts[i]));
    m_label3->setText(QLatin1String(kListNames[i]));
    m_label4->setText(QString::fromUtf8(kEditTexts[i]));
    if (mode != ModelEdit::Spreadsheets)
        m_txtField->clear();
    const bool sheets = mode == ModelEdit::Spreadsheets;
    m_txtField->setVisible(true);
    for (QWidget *w : std::initializer_list<QWidget *>{m_drive1, m_dir1, m_file1, m_txtSheet})
        w->setVisible(sheets);
    for (QLabel *l : m_lblS)
        l->setVisible(sheets);
    if (sheets)
        m_txtSheet->setText(QStringLiteral("1"));
    m_mnuViewSample->setVisible(mode != ModelEdit::Fields);
    if (mode == ModelEdit::Documents)
        m_mnuViewSample->setText(QStringLiteral("View Sample Document"));
    else if (sheets)
        m_mnuViewSample->setText(QStringLiteral("View Sample Spreadsheet"));
    m_selectedDocument = m_selectedSheet = 0;
    m_butEdit->setText(QStringLiteral("&Add"));
    refillList();
    placeControls();
    if (!sheets)
        m_txtField->setFocus();
}

void ModelForm::refillList()
{
    m_filling = true;
    m_list1->clear();
    m_list1->addItems(ModelEdit::items(Workspace::current(), m_mode));
    m_filling = false;
    m_list1->clearSelection();
    selectionChanged();
}

void ModelForm::FillFieldsList()
{
    m_filling = true;
    m_list1->clear();
    m_list1->addItems(Workspace::current().FieldNames);
    m_filling = false;
}

void ModelForm::selectionChanged()
{
    if (m_filling)
        return;
    const int p = m_list1->selectedItems().isEmpty() ? -1 : m_list1->currentRow();
    const bool selected = p >= 0;
    m_butEdit->setText(selected ? QStringLiteral("&Edit") : QStringLiteral("&Add"));
    for (QPushButton *b : {m_butUp, m_butDown, m_butDelete, m_butUnselect})
        b->setEnabled(selected);
    if (!selected)
        return;
    // The selected entry is taken by its position: names are meant to be
    // unique, but a position is always right.
    const Workspace &s = Workspace::current();
    switch (m_mode) {
    case ModelEdit::Fields:
        m_txtField->setText(m_list1->item(p)->text());
        m_editedField = p + 1;
        m_txtField->setFocus();
        m_txtField->end(false);
        break;
    case ModelEdit::Documents:
        m_selectedDocument = p + 1;
        m_txtField->setText(s.DocNames.value(p));
        break;
    case ModelEdit::Spreadsheets:
        m_selectedSheet = p + 1;
        m_txtSheet->setText(QString::number(s.SheetNumbers.value(p)));
        m_txtField->setText(s.SheetPaths.value(p));
        break;
    }
}

void ModelForm::closeEvent(QCloseEvent *event)
{
    SingleWindow::closeEvent(event);
    // A name that would lead out of the model folder was refused when
    // typed; it is not saved under now either.
    if (!Names::isSafeName(m_txtModelName->text())) {
        Workspace::current().ModelName.clear(); // no model, rather than one outside its folder
        if (MainForm *main = MainForm::existing())
            main->show();
        return;
    }
    SaveModel();
    LoadModel(Workspace::current().ModelName);
    // While the program ends there is no main window to come back to.
    if (MainForm *main = MainForm::existing())
        main->ShowModel();
}
