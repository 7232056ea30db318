#include "ui/fill/confirmform.h"
#include "core/workspace.h"

#include "ui/dialogs/helpform.h"
#include "ui/dialogs/mainwindowlink.h"
#include "ui/dialogs/waitform.h"
#include "ui/fill/previewform.h"
#include "core/fill/documents.h"
#include "core/fill/engines.h"
#include "core/fill/fillrun.h"
#include "core/fill/officesession.h"
#include "core/print/printing.h"
#include "core/render/pdfcopy.h"
#include "core/print/preview.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "platform/gui/messagebox.h"
#include "platform/gui/screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

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

namespace {
// The window's view of a run: captions in the wait window, problems in
// message boxes over this window.
class WindowObserver : public FillObserver {
public:
    explicit WindowObserver(QWidget *parent) : m_parent(parent) {}
    void showWait(const QString &caption) override { WaitForm::showAction(caption); }
    void problem(const QString &text, const QString &title) override
    {
        Ask::show(text, title, Ask::OkOnly, Ask::NoIcon, m_parent);
    }

private:
    QWidget *m_parent;
};

// The window's office says in the same wait window when a run waits for it.
class OfficeWaits : public RunContext {
public:
    explicit OfficeWaits(FillObserver &observer) : m_observer(observer) {}
    void showWait(const QString &caption) override
    {
        waitShown = true;
        m_observer.showWait(caption);
    }
    QString fieldValue(int) const override { return QString(); }

private:
    FillObserver &m_observer;
};
} // namespace

ConfirmForm::ConfirmForm(Workspace &workspace)
    : SingleWindow(nullptr, Qt::Window)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("ConfirmForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Confirm Documents to print or save"));

    m_instructions = new QLabel(QStringLiteral("Select action for each document, then click on OK. If saving text "
                                         "documents, input name to append to file name."), this);
    m_instructions->setObjectName(QStringLiteral("Label1"));
    m_instructions->setWordWrap(true);
    m_instructions->setGeometry(twips(kMargin), twips(120), twips(8000), twips(450));

    // Many rows must not run over the controls below them, so they scroll.
    m_rowsArea = new QScrollArea(this);
    m_rowsArea->setObjectName(QStringLiteral("rowsArea"));
    m_rowsArea->setFrameShape(QFrame::NoFrame);
    m_rows = new QWidget;
    m_rowsArea->setWidget(m_rows);
    m_rowsArea->setGeometry(0, twips(kRowsTop), twips(9000), twips(kRowsHeight));
    createRow(0, true);

    m_printMethodBox = new QGroupBox(QStringLiteral("Print method"), this);
    m_printMethodBox->setObjectName(QStringLiteral("Frame1"));
    m_printMethodBox->setGeometry(twips(kMargin), twips(kFrameTop), twips(8700), twips(700));
    m_fasterPrint = new QRadioButton(QStringLiteral("Faster"), m_printMethodBox);
    m_fasterPrint->setObjectName(QStringLiteral("Option1"));
    m_fasterPrint->adjustSize();
    m_fasterPrint->move(twips(1500), twips(300));
    m_higherQualityPrint = new QRadioButton(QStringLiteral("Higher quality"), m_printMethodBox);
    m_higherQualityPrint->setObjectName(QStringLiteral("Option2"));
    m_higherQualityPrint->adjustSize();
    m_higherQualityPrint->move(twips(5800), twips(300));

    m_saveNameLabel = new QLabel(QStringLiteral("Name to append to saved file"), this);
    m_saveNameLabel->setObjectName(QStringLiteral("Label2"));
    m_saveNameLabel->adjustSize();
    m_saveNameLabel->hide();
    m_saveNameBox = new QLineEdit(this);
    m_saveNameBox->setObjectName(QStringLiteral("txtSaveName"));
    m_saveNameBox->resize(twips(3000), twips(315));
    m_saveNameBox->hide();

    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(twips(kMargin), 0, twips(kButtonWidth), twips(kButtonHeight));
        return b;
    };
    m_okButton = button("Command1", QStringLiteral("&Ok"));
    m_closeButton = button("Command2", QStringLiteral("&Close"));
    m_helpButton = button("Command3", QStringLiteral("&Help"));
    m_previewButton = button("cmdPreview", QStringLiteral("&Preview"));
    connect(m_okButton, &QPushButton::clicked, this, &ConfirmForm::runFill);
    connect(m_previewButton, &QPushButton::clicked, this, &ConfirmForm::preview);
    // Return in the save name runs the fill, as the window's default button.
    connect(m_saveNameBox, &QLineEdit::returnPressed, this, &ConfirmForm::runFill);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        ShowInstructions(m_workspace, QStringLiteral("This screen lists all documents and spreadsheets linked"),
                         QStringLiteral("Creating Information Models"));
    });

    buildRows();
    setKeyboardOrder();
    resize(twips(9000), twips(5800));
    Screen::centreForm(this);

    // The office starts now, in the background, if a run may need it.
    m_office = std::make_unique<OfficeSession>();
    const auto startOffice = [this] {
        m_office->startAheadFor(m_workspace.ModelFolder, m_workspace, m_higherQualityPrint->isChecked());
    };
    startOffice();
    connect(m_higherQualityPrint, &QRadioButton::toggled, this, startOffice);
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
    m_itemLabels.append(label);
    m_printTicks.append(print);
    m_saveTicks.append(save);
}

void ConfirmForm::buildRows()
{
    const Workspace &s = m_workspace;
    int n = 0;
    for (int i = 1; i <= s.DocCount(); ++i) {
        createRow(++n, true);
        QLabel *label = m_itemLabels[n];
        label->setText(s.DocNames[i - 1] + QStringLiteral("  "));
        label->adjustSize();
        m_printTicks[n]->adjustSize();
        m_saveTicks[n]->adjustSize();
        m_printTicks[n]->move(label->x() + label->width(), twips(kRowStep * n));
        m_saveTicks[n]->move(m_printTicks[n]->x() + m_printTicks[n]->width(), twips(kRowStep * n));
        m_printTicks[n]->setChecked(true);
        // Screen readers say which item a box is for; the boxes show only "Print" and "Save".
        m_printTicks[n]->setAccessibleName(QStringLiteral("Print ") + s.DocNames[i - 1]);
        m_saveTicks[n]->setAccessibleName(QStringLiteral("Save ") + s.DocNames[i - 1]);
        connect(m_printTicks[n], &QCheckBox::toggled, this, &ConfirmForm::updatePreviewButton);
    }
    for (int k = 1; k <= s.SheetCount(); ++k) {
        createRow(++n, false);
        QLabel *label = m_itemLabels[n];
        label->setText(s.SheetPaths[k - 1] + QStringLiteral("  "));
        label->adjustSize();
        m_saveTicks[n]->adjustSize();
        m_saveTicks[n]->move(label->x() + label->width(), twips(kRowStep * n));
        m_saveTicks[n]->setChecked(true);
        m_saveTicks[n]->setAccessibleName(QStringLiteral("Save ") + s.SheetPaths[k - 1]);
    }
    int width = 0;
    for (int r = 1; r <= n; ++r)
        width = std::max(width, m_saveTicks[r]->x() + m_saveTicks[r]->width());
    m_rows->resize(std::max(width + twips(kMargin), twips(8000)), twips(kRowStep * (n + 1)));
    m_fasterPrint->setChecked(true);
}

bool ConfirmForm::anyDocumentToSave() const
{
    for (int i = 1; i <= m_workspace.DocCount() && i < m_saveTicks.size(); ++i)
        if (m_saveTicks[i]->isChecked())
            return true;
    return false;
}

void ConfirmForm::saveToggled(int n)
{
    updatePreviewButton();
    if (n <= m_workspace.DocCount() && m_saveTicks[n]->isChecked()) {
        m_saveNameLabel->show();
        m_saveNameBox->show();
        const int top = m_okButton->y() - m_saveNameBox->height() - twips(50);
        m_saveNameLabel->move(m_saveNameLabel->x(), top);
        m_saveNameBox->move(m_saveNameBox->x(), top);
    } else if (!anyDocumentToSave()) {
        m_saveNameLabel->hide();
        m_saveNameBox->hide();
    }
}

FillRunInput ConfirmForm::runInput() const
{
    const Workspace &s = m_workspace;
    FillRunInput input;
    input.model = s;
    input.folders = {s.ModelFolder, s.AppFolder, Platform::documentsFolder()};
    input.values = s.values();
    const int docs = s.DocCount();
    for (int i = 1; i <= docs; ++i)
        input.documents.append({m_printTicks[i]->isChecked(), m_saveTicks[i]->isChecked()});
    for (int k = 1; k <= s.SheetCount(); ++k)
        input.sheets.append(m_saveTicks[docs + k]->isChecked());
    input.method = m_fasterPrint->isChecked() ? Documents::PrintMethod::Faster : Documents::PrintMethod::HigherQuality;
    input.saveName = m_saveNameBox->text();
    input.pdfCopies = PdfCopy::enabled();
    return input;
}

void ConfirmForm::setKeyboardOrder()
{
    // Tab goes down the rows, then through the choices below them to the buttons.
    QList<QWidget *> order;
    for (int n = 1; n < m_saveTicks.size(); ++n) {
        if (m_printTicks[n])
            order << m_printTicks[n];
        order << m_saveTicks[n];
    }
    order << m_fasterPrint << m_higherQualityPrint << m_saveNameBox << m_okButton << m_previewButton
          << m_helpButton << m_closeButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

int ConfirmForm::firstTickedDocument() const
{
    for (int i = 1; i <= m_workspace.DocCount() && i < m_saveTicks.size(); ++i)
        if (m_printTicks[i]->isChecked() || m_saveTicks[i]->isChecked())
            return i;
    return 0;
}

void ConfirmForm::setRunning(bool running)
{
    m_running = running;
    m_okButton->setEnabled(!running);
    m_closeButton->setEnabled(!running);
    updatePreviewButton();
}

// The preview needs a ticked document, and waits while a run or another preview is under way.
void ConfirmForm::updatePreviewButton() { m_previewButton->setEnabled(!m_running && firstTickedDocument() > 0); }

void ConfirmForm::preview()
{
    const int document = firstTickedDocument();
    if (m_running || document == 0)
        return; // making the pages lets events through; a second press must wait
    setRunning(true);
    const Workspace &s = m_workspace;
    const Preview::Request request{s.DocNames[document - 1], s.ModelFolder, s.FieldNames, s.values()};
    PreviewForm::showDocument(request, m_office.get(), this);
    setRunning(false);
}

void ConfirmForm::runFill()
{
    if (m_running)
        return; // the run lets events through; a second press must not start another
    setRunning(true);
    WindowObserver observer(this);
    OfficeWaits officeWaits(observer);
    // Office work goes to the window's one office; other applications end with the run.
    SystemPrinting printing(m_office.get(), &officeWaits);
    SystemEngines engines(m_office ? m_office->calcEngines(officeWaits) : nullptr);
    FillRun run(observer, printing, engines, [this, &officeWaits](const QString &saved) {
        return PdfCopy::saveBeside(saved, m_office.get(), &officeWaits);
    });
    run.run(runInput());
    if (run.waitShown() || officeWaits.waitShown)
        if (WaitForm *wait = WaitForm::existing())
            wait->close();
    setRunning(false);
}

void ConfirmForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_instructions->resize(std::max(0, w - m_instructions->x()), m_instructions->height());
    m_rowsArea->resize(w, m_rowsArea->height());
    const int top = h - m_okButton->height() - twips(100);
    m_okButton->move(m_okButton->x(), top);
    m_closeButton->move(w - m_closeButton->width() - m_okButton->x(), top);
    m_helpButton->move((w - m_helpButton->width()) / 2, top);
    m_previewButton->move(m_okButton->x() + m_okButton->width() + twips(kMargin), top);
    m_printMethodBox->resize(std::max(0, w - 2 * m_printMethodBox->x()), m_printMethodBox->height());
    m_fasterPrint->move(std::max(0, m_printMethodBox->width() / 3 - m_fasterPrint->width()), m_fasterPrint->y());
    m_higherQualityPrint->move(2 * m_printMethodBox->width() / 3, m_higherQualityPrint->y());
    m_saveNameLabel->move(m_okButton->x(), top - m_saveNameBox->height() - twips(50));
    m_saveNameBox->move(m_saveNameLabel->x() + m_saveNameLabel->width() + twips(20), m_saveNameLabel->y());
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
    // Closing empties the values; the main window shows that by itself.
    m_workspace.clearValues();
    if (MainWindowLink *main = MainWindowLink::current()) {
        main->showWindow();
        QApplication::processEvents();
        main->focusFirstField();
    }
}
