#include "ui/fill/listform.h"

#include "core/fill/batchrun.h"
#include "core/fill/officesession.h"
#include "core/render/pdfcopy.h"
#include "core/print/preview.h"
#include "core/workspace.h"
#include "platform/folders.h"
#include "platform/gui/messagebox.h"
#include "ui/fill/listrunform.h"
#include "ui/fill/previewform.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kRowsShown = 5;

QTableWidget *table(const char *name, const QString &accessibleName, int rows, const QStringList &header,
                    QWidget *parent)
{
    auto *t = new QTableWidget(rows, int(header.size()), parent);
    t->setObjectName(QLatin1String(name));
    t->setAccessibleName(accessibleName);
    t->setHorizontalHeaderLabels(header);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    t->setTabKeyNavigation(false); // Tab leaves the table for the next control
    t->setMinimumHeight(150);
    return t;
}

QString quotedList(const QStringList &names)
{
    return QLatin1Char('"') + names.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

} // namespace

void ListForm::pickList(Workspace &workspace, QWidget *parent)
{
    // Qt's own dialog, so that the keyboard (and a test) can type the path.
    auto *dialog = new QFileDialog(parent, QStringLiteral("Fill From List"), Platform::documentsFolder(),
                                   QStringLiteral("Lists (*.csv *.xlsx *.ods);;All files (*)"));
    dialog->setObjectName(QStringLiteral("dlgPickList"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, parent,
                     [&workspace, parent](const QString &path) { openList(workspace, path, parent); });
    dialog->open();
}

bool ListForm::openList(Workspace &workspace, const QString &path, QWidget *parent)
{
    if (workspace.FieldNames.isEmpty()) {
        Ask::show(QStringLiteral("Select a model before filling from a list."), QStringLiteral("Problem"),
                  Ask::OkOnly, Ask::NoIcon, parent);
        return false;
    }
    RowList::List list = RowList::read(path);
    if (list.error) {
        Ask::show(QStringLiteral("The list ") + path + QStringLiteral(" cannot be used: ") + list.error->text(),
                  QStringLiteral("Problem"), Ask::OkOnly, Ask::Warning, parent);
        return false;
    }
    if (!list.ragged.isEmpty()) {
        QStringList lines;
        for (const RowList::Problem &row : list.ragged.mid(0, 10))
            lines << row.text();
        if (list.ragged.size() > 10)
            lines << QStringLiteral("and %1 more").arg(list.ragged.size() - 10);
        const QString question = QStringLiteral("Some rows of ") + path
                                 + QStringLiteral(" do not match its header:\n") + lines.join(QLatin1Char('\n'))
                                 + QStringLiteral("\n\nTake them anyway (extra cells dropped, missing ones empty)?");
        if (Ask::show(question, QStringLiteral("Problem"), Ask::YesNo, Ask::Question, parent) != Ask::Yes)
            return false;
    }
    if (list.records.isEmpty()) {
        Ask::show(QStringLiteral("The list ") + path + QStringLiteral(" has no rows under its header."),
                  QStringLiteral("Problem"), Ask::OkOnly, Ask::Warning, parent);
        return false;
    }
    if (ListForm *old = existing())
        old->close();
    if (existing())
        return false; // still running
    ListForm *form = instance(workspace, path, std::move(list));
    form->show();
    form->activateWindow();
    return true;
}

ListForm::ListForm(Workspace &workspace, const QString &path, RowList::List list)
    : SingleWindow(nullptr, Qt::Window), m_workspace(workspace), m_path(path), m_list(std::move(list))
{
    setObjectName(QStringLiteral("ListForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Fill From List"));
    m_columnField = BatchRun::matchColumns(m_list.header, m_workspace.FieldNames);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildMapping());
    layout->addWidget(buildRowsTable());
    layout->addWidget(buildItems());
    layout->addWidget(buildChoices());

    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
        buttons->addWidget(b);
        return b;
    };
    m_okButton = button("cmdOK", QStringLiteral("&Ok"));
    m_previewButton = button("cmdPreview", QStringLiteral("&Preview"));
    buttons->addStretch();
    m_closeButton = button("cmdClose", QStringLiteral("&Close"));
    m_okButton->setDefault(true);
    layout->addLayout(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &ListForm::runAll);
    connect(m_saveNameBox, &QLineEdit::returnPressed, this, &ListForm::runAll);
    connect(m_previewButton, &QPushButton::clicked, this, &ListForm::preview);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    setRunning(false);
    resize(760, 800);
    // Return in the save name runs the rows, as in the confirmation window.
    m_saveNameBox->setFocus();

    m_office = std::make_unique<OfficeSession>();
    const auto startOffice = [this] {
        m_office->startAheadFor(m_workspace.ModelFolder, m_workspace, m_higherQualityPrint->isChecked());
    };
    startOffice();
    connect(m_higherQualityPrint, &QRadioButton::toggled, this, startOffice);
}

ListForm::~ListForm() = default;

QWidget *ListForm::buildMapping()
{
    auto *box = new QGroupBox(QStringLiteral("Fields"), this);
    auto *layout = new QVBoxLayout(box);
    const QStringList &fields = m_workspace.FieldNames;
    QTableWidget *map = table("tblFields", QStringLiteral("Where each field's value comes from"), int(fields.size()),
                              {QStringLiteral("Field"), QStringLiteral("Value")}, box);
    for (int j = 0; j < fields.size(); ++j) {
        const qsizetype column = m_columnField.indexOf(j);
        const QString from = column >= 0
                                 ? QStringLiteral("column \"") + m_list.header[column] + QLatin1Char('"')
                                 : QStringLiteral("typed in the main window: \"") + m_workspace.value(j + 1)
                                       + QLatin1Char('"');
        map->setItem(j, 0, new QTableWidgetItem(fields[j]));
        map->setItem(j, 1, new QTableWidgetItem(from));
    }
    layout->addWidget(map);
    QStringList unmatched;
    for (int c = 0; c < m_list.header.size(); ++c)
        if (m_columnField[c] < 0)
            unmatched << m_list.header[c];
    auto *note = new QLabel(unmatched.isEmpty() ? QStringLiteral("Every column fills a field.")
                                                : QStringLiteral("Columns that match no field: ") + quotedList(unmatched),
                            box);
    note->setObjectName(QStringLiteral("lblUnmatched"));
    note->setWordWrap(true);
    layout->addWidget(note);
    return box;
}

QWidget *ListForm::buildRowsTable()
{
    const int count = int(m_list.records.size());
    auto *box = new QGroupBox(QStringLiteral("Rows"), this);
    auto *layout = new QVBoxLayout(box);
    auto *countLabel = new QLabel(QStringLiteral("%1 rows in %2").arg(count).arg(QFileInfo(m_path).fileName()), box);
    countLabel->setObjectName(QStringLiteral("lblRowCount"));
    layout->addWidget(countLabel);
    const int shown = std::min(count, kRowsShown);
    QTableWidget *rows = table("tblRows", QStringLiteral("The first rows of the list"), shown, m_list.header, box);
    for (int r = 0; r < shown; ++r)
        for (int c = 0; c < m_list.header.size(); ++c)
            rows->setItem(r, c, new QTableWidgetItem(m_list.records[r].value(c)));
    layout->addWidget(rows);
    return box;
}

QWidget *ListForm::buildItems()
{
    auto *box = new QGroupBox(QStringLiteral("Documents and spreadsheets"), this);
    auto *grid = new QGridLayout(box);
    const Workspace &s = m_workspace;
    const auto tick = [box](const QString &caption, const QString &kind, int n, const QString &item, bool on) {
        auto *t = new QCheckBox(caption, box);
        t->setObjectName(QStringLiteral("chk%1_%2").arg(kind).arg(n));
        t->setAccessibleName(caption + QLatin1Char(' ') + item); // the box shows only "Print"/"Save"
        t->setChecked(on);
        return t;
    };
    int n = 0;
    for (const QString &name : s.DocNames) {
        ++n;
        grid->addWidget(new QLabel(name, box), n, 0);
        // Every row is saved; printing a whole list is asked for, not assumed.
        m_printTicks << tick(QStringLiteral("Print"), QStringLiteral("Print"), n, name, false);
        m_saveTicks << tick(QStringLiteral("Save"), QStringLiteral("Save"), n, name, true);
        grid->addWidget(m_printTicks.last(), n, 1);
        grid->addWidget(m_saveTicks.last(), n, 2);
    }
    for (const QString &path : s.SheetPaths) {
        ++n;
        grid->addWidget(new QLabel(path, box), n, 0);
        m_saveTicks << tick(QStringLiteral("Save"), QStringLiteral("Save"), n, path, true);
        grid->addWidget(m_saveTicks.last(), n, 2);
    }
    grid->setColumnStretch(0, 1);
    return box;
}

QWidget *ListForm::buildChoices()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *method = new QGroupBox(QStringLiteral("Print method"), box);
    method->setObjectName(QStringLiteral("Frame1"));
    auto *methodLayout = new QHBoxLayout(method);
    m_fasterPrint = new QRadioButton(QStringLiteral("Faster"), method);
    m_fasterPrint->setObjectName(QStringLiteral("Option1"));
    m_fasterPrint->setChecked(true);
    m_higherQualityPrint = new QRadioButton(QStringLiteral("Higher quality"), method);
    m_higherQualityPrint->setObjectName(QStringLiteral("Option2"));
    methodLayout->addWidget(m_fasterPrint);
    methodLayout->addWidget(m_higherQualityPrint);
    grid->addWidget(method, 0, 0, 1, 2);
    auto *pdf = new QLabel(PdfCopy::enabled() ? QStringLiteral("A PDF copy is saved beside each saved document.")
                                              : QStringLiteral("No PDF copies (Configure, Save PDF Copies)."),
                           box);
    pdf->setObjectName(QStringLiteral("lblPdfCopies"));
    grid->addWidget(pdf, 1, 0, 1, 2);
    auto *label = new QLabel(QStringLiteral("&Name to append to saved files ({Column} takes the row's value)"), box);
    label->setObjectName(QStringLiteral("Label2"));
    m_saveNameBox = new QLineEdit(box);
    m_saveNameBox->setObjectName(QStringLiteral("txtSaveName"));
    label->setBuddy(m_saveNameBox);
    m_saveNameBox->setAccessibleName(QStringLiteral("Name to append to saved files"));
    for (int j = 0; j < m_workspace.FieldNames.size(); ++j)
        if (m_columnField.contains(j)) {
            m_saveNameBox->setText(QLatin1Char('{') + m_workspace.FieldNames[j] + QLatin1Char('}'));
            break;
        }
    grid->addWidget(label, 2, 0, 1, 2);
    grid->addWidget(m_saveNameBox, 3, 0, 1, 2);
    return box;
}

BatchInput ListForm::batchInput() const
{
    const Workspace &s = m_workspace;
    BatchInput batch;
    FillRunInput &input = batch.base;
    input.model = s;
    input.folders = {s.ModelFolder, s.AppFolder, Platform::documentsFolder()};
    input.values = s.values();
    while (input.values.size() < s.FieldNames.size())
        input.values << QString();
    for (int i = 0; i < s.DocNames.size(); ++i)
        input.documents.append({m_printTicks[i]->isChecked(), m_saveTicks[i]->isChecked()});
    for (int k = 0; k < s.SheetPaths.size(); ++k)
        input.sheets.append(m_saveTicks[s.DocNames.size() + k]->isChecked());
    input.method = m_fasterPrint->isChecked() ? Documents::PrintMethod::Faster : Documents::PrintMethod::HigherQuality;
    input.pdfCopies = PdfCopy::enabled();
    batch.header = m_list.header;
    batch.columnField = m_columnField;
    batch.rows = m_list.records;
    batch.rowLines = m_list.lines;
    batch.savePattern = m_saveNameBox->text().trimmed();
    return batch;
}

int ListForm::firstTickedDocument() const
{
    for (int i = 0; i < m_printTicks.size(); ++i)
        if (m_printTicks[i]->isChecked() || m_saveTicks[i]->isChecked())
            return i;
    return -1;
}

void ListForm::setRunning(bool running)
{
    m_running = running;
    m_okButton->setEnabled(!running);
    m_previewButton->setEnabled(!running);
    m_closeButton->setEnabled(!running);
}

void ListForm::runAll()
{
    if (m_running)
        return;
    const BatchInput input = batchInput();
    const auto refuse = [this](const QString &text) {
        Ask::show(text, QStringLiteral("Problem"), Ask::OkOnly, Ask::NoIcon, this);
    };
    bool anySave = false;
    bool anything = input.base.sheets.contains(true);
    for (const FillRunInput::DocumentTicks &ticks : input.base.documents) {
        anySave = anySave || ticks.save;
        anything = anything || ticks.print || ticks.save;
    }
    if (!anything)
        return refuse(QStringLiteral("Tick a document or spreadsheet to fill."));
    if (anySave && input.savePattern.isEmpty())
        return refuse(FillRun::missingSaveNameText());
    if (const QStringList unknown = BatchRun::unknownNames(input.savePattern, input.base.model.FieldNames, input.header);
        anySave && !unknown.isEmpty())
        return refuse(QStringLiteral("The save name names no field or column: ") + quotedList(unknown));
    setRunning(true);
    auto *run = new ListRunForm(input, m_office.get(), this);
    connect(run, &ListRunForm::ended, this, [this] { setRunning(false); });
    run->start();
}

void ListForm::preview()
{
    const int document = firstTickedDocument();
    if (m_running)
        return; // making the pages lets events through; a second press must wait
    if (document < 0) {
        Ask::show(QStringLiteral("Tick a document to preview."), QStringLiteral("Problem"), Ask::OkOnly,
                  Ask::NoIcon, this);
        return;
    }
    setRunning(true);
    const Workspace &s = m_workspace;
    const Preview::Request request{s.DocNames[document], s.ModelFolder, s.FieldNames,
                                   BatchRun::valuesFor(batchInput(), 0)};
    PreviewForm::showDocument(request, m_office.get(), this);
    setRunning(false);
}

void ListForm::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        event->ignore(); // the rows under way finish first
        return;
    }
    SingleWindow::closeEvent(event);
    m_office.reset();
}
