#include "ui/editor/modelform.h"
#include "core/workspace.h"
#include "core/model/names.h"

#include "ui/dialogs/helpform.h"
#include "ui/editor/filepickers.h"
#include "core/editor/modeledit.h"
#include "ui/dialogs/mainwindowlink.h"
#include "ui/dialogs/modelmessages.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/gui/messagebox.h"
#include "platform/gui/screen.h"

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

ModelForm::ModelForm(Workspace &workspace)
    : m_workspace(workspace)
{
    setObjectName(QStringLiteral("ModelForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Create/Edit Model"));
    auto *central = new QWidget(this);
    setCentralWidget(central);

    m_modelNameLabel = named(new QLabel(QStringLiteral("Model Name"), central), "Label5");
    m_modelNameBox = named(new QLineEdit(central), "txtModelName");
    connect(m_modelNameBox, &QLineEdit::textChanged, this, [this](const QString &t) { m_workspace.ModelName = t; });
    connect(m_modelNameBox, &QLineEdit::returnPressed, this, &ModelForm::modelNameEntered);

    m_modeBox = named(new QGroupBox(QStringLiteral("Operation"), central), "Frame1");
    m_fieldsMode = named(new QRadioButton(QStringLiteral("Fields"), m_modeBox), "Option1");
    m_documentsMode = named(new QRadioButton(QStringLiteral("Documents"), m_modeBox), "Option2");
    m_spreadsheetsMode = named(new QRadioButton(QStringLiteral("Spreadsheets"), m_modeBox), "Option3");
    for (auto [button, mode] : {std::pair{m_fieldsMode, ModelEdit::Fields}, std::pair{m_documentsMode, ModelEdit::Documents},
                                  std::pair{m_spreadsheetsMode, ModelEdit::Spreadsheets}}) {
        button->adjustSize();
        connect(button, &QRadioButton::clicked, this, [this, m = mode] { setMode(m); });
    }

    m_instructions = wrappedLabel(central, "Label2");
    m_itemLabel = named(new QLabel(central), "Label1");
    m_itemBox = named(new QLineEdit(central), "txtField");
    connect(m_itemBox, &QLineEdit::returnPressed, this, &ModelForm::DoOperation);
    connect(m_itemBox, &QLineEdit::textChanged, this, &ModelForm::fieldTextChanged);

    const char *const smallNames[] = {"lblS1", "lblS2", "lblS3", "lblS4"};
    const char *const smallTexts[] = {"Drive", "Folder", "File", "Sheet"};
    for (int i = 0; i < 4; ++i)
        m_pickerLabels.append(named(new QLabel(QLatin1String(smallTexts[i]), central), smallNames[i]));
    m_drivePicker = named(new DrivePicker(central), "Drive1");
    m_folderPicker = named(new FolderPicker(central), "Dir1");
    m_filePicker = named(new FilePicker(central), "File1");
    m_sheetBox = named(new QLineEdit(QStringLiteral("1"), central), "txtSheet");
    connect(m_drivePicker, &QComboBox::currentTextChanged, this, [this](const QString &d) { m_folderPicker->setPath(d); });
    connect(m_folderPicker, &FolderPicker::pathChanged, this, &ModelForm::folderChanged);
    connect(m_filePicker, &QListWidget::itemClicked, this, &ModelForm::fileClicked);
    connect(m_sheetBox, &QLineEdit::textChanged, this, &ModelForm::sheetTextChanged);

    m_listInstructions = wrappedLabel(central, "Label4");
    m_listLabel = named(new QLabel(central), "Label3");
    m_itemList = named(new QListWidget(central), "List1");
    connect(m_itemList, &QListWidget::itemSelectionChanged, this, &ModelForm::selectionChanged);

    auto button = [central](const char *name, const QString &caption) {
        auto *b = named(new QPushButton(caption, central), name);
        b->resize(twips(kButtonWidth), twips(kButtonHeight));
        return b;
    };
    m_upButton = button("butUp", QStringLiteral("Move Up"));
    m_downButton = button("butDown", QStringLiteral("Move Down"));
    m_deleteButton = button("butDelete", QStringLiteral("Delete"));
    m_unselectButton = button("butUnselect", QStringLiteral("Unselect"));
    m_operationButton = button("butEdit", QStringLiteral("&Add"));
    m_helpButton = button("butHelp", QStringLiteral("&Help"));
    m_closeButton = button("butClose", QStringLiteral("&Close"));
    for (QPushButton *b : {m_upButton, m_downButton, m_deleteButton, m_unselectButton})
        b->setEnabled(false);
    connect(m_upButton, &QPushButton::clicked, this, &ModelForm::moveUp);
    connect(m_downButton, &QPushButton::clicked, this, &ModelForm::moveDown);
    connect(m_deleteButton, &QPushButton::clicked, this, &ModelForm::deleteItem);
    connect(m_unselectButton, &QPushButton::clicked, this, &ModelForm::unselect);
    connect(m_operationButton, &QPushButton::clicked, this, &ModelForm::DoOperation);
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        ShowInstructions(m_workspace, QStringLiteral("     This screen allows you to create and edit models"),
                         QStringLiteral("Editing existing models"));
    });
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    buildMenu();
    resize(twips(9600), twips(7245) + menuBar()->sizeHint().height());
    m_fieldsMode->setChecked(true);
    setMode(ModelEdit::Fields);
    Screen::centreForm(this);
    initialFolder();
}

void ModelForm::buildMenu()
{
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction *instructions = help->addAction(QStringLiteral("&Instructions"));
    instructions->setObjectName(QStringLiteral("mnuInstructions"));
    connect(instructions, &QAction::triggered, m_helpButton, &QPushButton::click);
    m_viewSampleAction = help->addAction(QStringLiteral("&View sample"));
    m_viewSampleAction->setObjectName(QStringLiteral("mnuViewSample"));
    connect(m_viewSampleAction, &QAction::triggered, this, &ModelForm::viewSample);
}

void ModelForm::initialFolder()
{
    // The documents folder first, then the shared one, then the app folder
    // with a one-time notice.
    if (m_folderPicker->setPath(Platform::documentsFolder()) || m_folderPicker->setPath(Platform::sharedDocumentsFolder()))
        return;
    const QString app = m_workspace.AppFolder;
    m_folderPicker->setPath(app);
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

void ModelForm::setModelName(const QString &name) { m_modelNameBox->setText(name); }

void ModelForm::focusModelName() { m_modelNameBox->setFocus(); }

void ModelForm::setMode(ModelEdit::Mode mode)
{
    m_mode = mode;
    const int i = static_cast<int>(mode) - 1;
    m_itemLabel->setText(QLatin1String(kEntryNames[i]));
    m_instructions->setText(QString::fromUtf8(kAddTexts[i]));
    m_listLabel->setText(QLatin1String(kListNames[i]));
    m_listInstructions->setText(QString::fromUtf8(kEditTexts[i]));
    if (mode != ModelEdit::Spreadsheets)
        m_itemBox->clear();
    const bool sheets = mode == ModelEdit::Spreadsheets;
    m_itemBox->setVisible(true);
    for (QWidget *w : std::initializer_list<QWidget *>{m_drivePicker, m_folderPicker, m_filePicker, m_sheetBox})
        w->setVisible(sheets);
    for (QLabel *l : m_pickerLabels)
        l->setVisible(sheets);
    if (sheets)
        m_sheetBox->setText(QStringLiteral("1"));
    m_viewSampleAction->setVisible(mode != ModelEdit::Fields);
    if (mode == ModelEdit::Documents)
        m_viewSampleAction->setText(QStringLiteral("View Sample Document"));
    else if (sheets)
        m_viewSampleAction->setText(QStringLiteral("View Sample Spreadsheet"));
    m_selectedDocument = m_selectedSheet = 0;
    m_operationButton->setText(QStringLiteral("&Add"));
    refillList();
    placeControls();
    if (!sheets)
        m_itemBox->setFocus();
}

void ModelForm::refillList()
{
    m_filling = true;
    m_itemList->clear();
    m_itemList->addItems(ModelEdit::items(m_workspace, m_mode));
    m_filling = false;
    m_itemList->clearSelection();
    selectionChanged();
}

void ModelForm::selectionChanged()
{
    if (m_filling)
        return;
    const int p = m_itemList->selectedItems().isEmpty() ? -1 : m_itemList->currentRow();
    const bool selected = p >= 0;
    m_operationButton->setText(selected ? QStringLiteral("&Edit") : QStringLiteral("&Add"));
    for (QPushButton *b : {m_upButton, m_downButton, m_deleteButton, m_unselectButton})
        b->setEnabled(selected);
    if (!selected)
        return;
    // The selected entry is taken by its position: names are meant to be
    // unique, but a position is always right.
    const Workspace &s = m_workspace;
    switch (m_mode) {
    case ModelEdit::Fields:
        m_itemBox->setText(m_itemList->item(p)->text());
        m_editedField = p + 1;
        m_itemBox->setFocus();
        m_itemBox->end(false);
        break;
    case ModelEdit::Documents:
        m_selectedDocument = p + 1;
        m_itemBox->setText(s.DocNames.value(p));
        break;
    case ModelEdit::Spreadsheets:
        m_selectedSheet = p + 1;
        m_sheetBox->setText(QString::number(s.SheetNumbers.value(p)));
        m_itemBox->setText(s.SheetPaths.value(p));
        break;
    }
}

void ModelForm::closeEvent(QCloseEvent *event)
{
    SingleWindow::closeEvent(event);
    // A name that would lead out of the model folder was refused when
    // typed; it is not saved under now either.
    if (!Names::isSafeName(m_modelNameBox->text())) {
        m_workspace.ModelName.clear(); // no model, rather than one outside its folder
        if (MainWindowLink *main = MainWindowLink::current())
            main->showWindow();
        return;
    }
    saveModelTellingUser(m_workspace);
    loadModelTellingUser(m_workspace, m_workspace.ModelName);
    // While the program ends there is no main window to come back to.
    if (MainWindowLink *main = MainWindowLink::current())
        main->ShowModel();
}
