#include "app/fill/confirmform.h"

#include "app/dialogs/helpform.h"
#include "app/dialogs/waitform.h"
#include "app/fill/documents.h"
#include "app/fill/engines.h"
#include "app/fill/officesession.h"
#include "app/fill/sheetfill.h"
#include "app/fill/printing.h"
#include "app/fill/pdfcopy.h"
#include "app/mainwin/mainform.h"
#include "app/state/qltbas.h"
#include "platform/folders.h"
#include "platform/messagebox.h"
#include "platform/screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

using QLTBas::state;
using Screen::twips;

namespace {
constexpr int kRowsTop = 600;      // twips: where the rows area starts
constexpr int kRowsHeight = 2900;
constexpr int kRowStep = 300;
constexpr int kFrameTop = 3600;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 375;
constexpr int kMargin = 120;
} // namespace

// The run's view of the windows: the wait window and the entry boxes.
class GuiRunContext : public RunContext {
public:
    void showWait(const QString &caption) override
    {
        WaitForm *wait = WaitForm::instance();
        wait->setAction(caption);
        wait->show();
        waitShown = true;
        QApplication::processEvents();
    }
    QString fieldValue(int j) const override
    {
        const MainForm *main = MainForm::existing();
        return main ? main->fieldValue(j) : QString();
    }
};

namespace {
// The PDF copy beside the copy the save step has just written, still under
// the save step's text.
void savePdfCopy(const Documents::Request &request, const Documents::Folders &folders, RunContext &run,
                 OfficeSession *office)
{
    const QString file = Documents::FindDocumentFile(folders.modelFolder, request.name);
    if (file.isEmpty())
        return;
    const QString saved = folders.saveFolder + request.saveName + QLatin1Char('-') + request.name
        + Documents::extensionOf(file);
    run.showWait(QStringLiteral("Saving ") + QFileInfo(PdfCopy::pdfPathFor(saved)).fileName());
    PdfCopy::saveBeside(saved, office, &run);
}
} // namespace

ConfirmForm::ConfirmForm()
    : SingleWindow(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("ConfirmForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Confirm Documents to print or save"));

    m_label1 = new QLabel(QStringLiteral("Select action for each document, then click on OK. If saving text "
                                         "documents, input name to append to file name."), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_label1->setGeometry(twips(kMargin), twips(120), twips(8000), twips(450));

    // Many rows must not run over the controls below them, so they scroll.
    m_rowsArea = new QScrollArea(this);
    m_rowsArea->setObjectName(QStringLiteral("rowsArea"));
    m_rowsArea->setFrameShape(QFrame::NoFrame);
    m_rows = new QWidget;
    m_rowsArea->setWidget(m_rows);
    m_rowsArea->setGeometry(0, twips(kRowsTop), twips(9000), twips(kRowsHeight));
    createRow(0, true);

    m_frame1 = new QGroupBox(QStringLiteral("Print method"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twips(kMargin), twips(kFrameTop), twips(8700), twips(700));
    m_option1 = new QRadioButton(QStringLiteral("Faster"), m_frame1);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option1->adjustSize();
    m_option1->move(twips(1500), twips(300));
    m_option2 = new QRadioButton(QStringLiteral("Higher quality"), m_frame1);
    m_option2->setObjectName(QStringLiteral("Option2"));
    m_option2->adjustSize();
    m_option2->move(twips(5800), twips(300));

    m_label2 = new QLabel(QStringLiteral("Name to append to saved file"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->adjustSize();
    m_label2->hide();
    m_txtSaveName = new QLineEdit(this);
    m_txtSaveName->setObjectName(QStringLiteral("txtSaveName"));
    m_txtSaveName->resize(twips(3000), twips(315));
    m_txtSaveName->hide();

    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(twips(kMargin), 0, twips(kButtonWidth), twips(kButtonHeight));
        return b;
    };
    m_command1 = button("Command1", QStringLiteral("&Ok"));
    m_command2 = button("Command2", QStringLiteral("&Close"));
    m_command3 = button("Command3", QStringLiteral("&Help"));
    connect(m_command1, &QPushButton::clicked, this, &ConfirmForm::runFill);
    connect(m_command2, &QPushButton::clicked, this, &QWidget::close);
    connect(m_command3, &QPushButton::clicked, this, [] {
        ShowInstructions(QStringLiteral("This screen lists all documents and spreadsheets linked"),
                         QStringLiteral("Creating Information Models"));
    });

    buildRows();
    resize(twips(9000), twips(5800));
    Screen::centreForm(this);

    // The office starts now, in the background, if a run may need it.
    m_office = std::make_unique<OfficeSession>();
    const auto startOffice = [this] {
        if (OfficeSession::mayNeed(state().ModelFolder, state().DocNames, state().SheetPaths, m_option2->isChecked()))
            m_office->startAhead();
    };
    startOffice();
    connect(m_option2, &QRadioButton::toggled, this, startOffice);
}

ConfirmForm::~ConfirmForm() = default;

void ConfirmForm::createRow(int n, bool withPrint)
{
    auto *label = new QLabel(QStringLiteral("Label2"), m_rows);
    label->setObjectName(QStringLiteral("lblDoc_%1").arg(n));
    QCheckBox *print = nullptr;
    if (withPrint) {
        print = new QCheckBox(QStringLiteral("Print  "), m_rows);
        print->setObjectName(QStringLiteral("chkPrint_%1").arg(n));
    }
    auto *save = new QCheckBox(QStringLiteral("Save "), m_rows);
    save->setObjectName(QStringLiteral("chkSave_%1").arg(n));
    const int top = twips(kRowStep * n);
    label->move(twips(kMargin), top + twips(30));
    if (n == 0) {
        label->hide();
        print->move(twips(3000), top);
        print->hide();
        save->move(twips(4000), top);
        save->hide();
    } else {
        connect(save, &QCheckBox::toggled, this, [this, n] { saveToggled(n); });
    }
    m_lblDoc.append(label);
    m_chkPrint.append(print);
    m_chkSave.append(save);
}

void ConfirmForm::buildRows()
{
    const QLTBas::ProgramState &s = state();
    int n = 0;
    for (int i = 1; i <= s.DocCount(); ++i) {
        createRow(++n, true);
        QLabel *label = m_lblDoc[n];
        label->setText(s.DocNames[i - 1] + QStringLiteral("  "));
        label->adjustSize();
        m_chkPrint[n]->adjustSize();
        m_chkSave[n]->adjustSize();
        m_chkPrint[n]->move(label->x() + label->width(), twips(kRowStep * n));
        m_chkSave[n]->move(m_chkPrint[n]->x() + m_chkPrint[n]->width(), twips(kRowStep * n));
        m_chkPrint[n]->setChecked(true);
    }
    for (int k = 1; k <= s.SheetCount(); ++k) {
        createRow(++n, false);
        QLabel *label = m_lblDoc[n];
        label->setText(s.SheetPaths[k - 1] + QStringLiteral("  "));
        label->adjustSize();
        m_chkSave[n]->adjustSize();
        m_chkSave[n]->move(label->x() + label->width(), twips(kRowStep * n));
        m_chkSave[n]->setChecked(true);
    }
    int width = 0;
    for (int r = 1; r <= n; ++r)
        width = std::max(width, m_chkSave[r]->x() + m_chkSave[r]->width());
    m_rows->resize(std::max(width + twips(kMargin), twips(8000)), twips(kRowStep * (n + 1)));
    m_option1->setChecked(true);
}

bool ConfirmForm::anyDocumentToSave() const
{
    for (int i = 1; i <= state().DocCount() && i < m_chkSave.size(); ++i)
        if (m_chkSave[i]->isChecked())
            return true;
    return false;
}

void ConfirmForm::saveToggled(int n)
{
    if (n <= state().DocCount() && m_chkSave[n]->isChecked()) {
        m_label2->show();
        m_txtSaveName->show();
        const int top = m_command1->y() - m_txtSaveName->height() - twips(50);
        m_label2->move(m_label2->x(), top);
        m_txtSaveName->move(m_txtSaveName->x(), top);
    } else if (!anyDocumentToSave()) {
        m_label2->hide();
        m_txtSaveName->hide();
    }
}

void ConfirmForm::runFill()
{
    if (m_running)
        return; // the run lets events through; a second press must not start another
    const QLTBas::ProgramState &s = state();
    const Documents::Folders folders{s.ModelFolder, s.AppFolder, Platform::documentsFolder()};
    const QString saveName = m_txtSaveName->text();
    // A save name that names a folder would put files outside the documents
    // folder: it is refused like an empty one.
    if (m_txtSaveName->isVisible() && (saveName.isEmpty() || !Documents::isSafeName(saveName))) {
        MessageBox::show(QStringLiteral("If you want to save document files, you need to supply a name to "
                                        "append to saved files."),
                         QStringLiteral("Operation aborting"), MessageBox::OkOnly, MessageBox::NoIcon, this);
        return;
    }

    m_running = true;
    m_command1->setEnabled(false);
    m_command2->setEnabled(false);
    GuiRunContext run;
    SystemPrinting printing(m_office.get(), &run);
    const QStringList fieldNames = s.FieldNames;
    const QStringList docNames = s.DocNames;
    bool ended = false;
    for (int i = 1; i <= docNames.size() && !ended; ++i) {
        const bool print = m_chkPrint[i]->isChecked();
        const bool save = m_chkSave[i]->isChecked();
        if (!print && !save)
            continue;
        const Documents::Request request{docNames[i - 1], print, save,
                                         m_option1->isChecked() ? Documents::PrintMethod::Faster
                                                                : Documents::PrintMethod::HigherQuality,
                                         saveName};
        try {
            Documents::ProcessDocument(request, folders, fieldNames, run, printing);
            if (save && PdfCopy::enabled())
                savePdfCopy(request, folders, run, m_office.get());
        } catch (const RunError &e) {
            MessageBox::show(e.description + QStringLiteral(" while ") + run.stepText, QStringLiteral("Problem"),
                             MessageBox::OkOnly, MessageBox::NoIcon, this);
            ended = run.runStage != 1;
        }
    }
    if (!ended) {
        run.runStage = 2;
        processSheets(run);
    }
    if (run.waitShown)
        if (WaitForm *wait = WaitForm::existing())
            wait->close();
    m_running = false;
    m_command1->setEnabled(true);
    m_command2->setEnabled(true);
}

void ConfirmForm::processSheets(GuiRunContext &run)
{
    const QLTBas::ProgramState &s = state();
    const int docs = s.DocCount();
    const QStringList paths = s.SheetPaths;
    const QList<qint16> numbers = s.SheetNumbers;
    const QStringList fieldNames = s.FieldNames;
    // Workbooks go to the window's office; other applications end with the run.
    SystemEngines engines(m_office ? m_office->calcEngines(run) : nullptr);
    for (int k = 1; k <= paths.size(); ++k) {
        if (!m_chkSave[docs + k]->isChecked())
            continue;
        SheetFill::ProcessSpreadsheet({paths[k - 1], numbers.value(k - 1, 1)}, s.AppFolder, fieldNames, run, engines,
                                      [this](const QString &text, const QString &title) {
                                          MessageBox::show(text, title, MessageBox::OkOnly, MessageBox::NoIcon, this);
                                      });
    }
}

void ConfirmForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_label1->resize(std::max(0, w - m_label1->x()), m_label1->height());
    m_rowsArea->resize(w, m_rowsArea->height());
    const int top = h - m_command1->height() - twips(100);
    m_command1->move(m_command1->x(), top);
    m_command2->move(w - m_command2->width() - m_command1->x(), top);
    m_command3->move((w - m_command3->width()) / 2, top);
    m_frame1->resize(std::max(0, w - 2 * m_frame1->x()), m_frame1->height());
    m_option1->move(std::max(0, m_frame1->width() / 3 - m_option1->width()), m_option1->y());
    m_option2->move(2 * m_frame1->width() / 3, m_option2->y());
    m_label2->move(m_command1->x(), top - m_txtSaveName->height() - twips(50));
    m_txtSaveName->move(m_label2->x() + m_label2->width() + twips(20), m_label2->y());
}

void ConfirmForm::closeEvent(QCloseEvent *event)
{
    // The window is never unloaded under a running run.
    if (m_running) {
        event->ignore();
        return;
    }
    SingleWindow::closeEvent(event);
    m_office.reset(); // the office ends with the window
    if (MainForm *main = MainForm::existing()) {
        main->clearFieldValues();
        main->show();
        QApplication::processEvents();
        main->focusFirstField();
    }
}
