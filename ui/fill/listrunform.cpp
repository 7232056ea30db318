#include "ui/fill/listrunform.h"

#include "core/fill/engines.h"
#include "core/fill/officesession.h"
#include "core/render/pdfcopy.h"
#include "core/print/printing.h"
#include "platform/process.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

// Counts what the rows did and keeps every problem with its row; no
// message box stops the run.
class ListRunForm::Observer : public BatchObserver {
public:
    explicit Observer(QLabel *status) : m_status(status) {}
    void rowStarting(int, int line) override { m_row = line; }
    void showWait(const QString &caption) override
    {
        // Only a long wait (another fill's lock, the office) shows; the
        // window keeps answering meanwhile.
        if (caption.startsWith(QStringLiteral("Waiting for ")) || caption.startsWith(QStringLiteral("Starting"))) {
            m_status->setText(caption);
            QCoreApplication::processEvents();
        }
    }
    void problem(const QString &text, const QString &) override
    {
        tally.problems << (m_row > 0 ? QStringLiteral("Row %1: ").arg(m_row) : QString()) + text;
    }
    void saved(const QString &) override { ++tally.saved; }
    void printed(const QString &) override { ++tally.printed; }
    void recordAdded(const QString &) override { ++tally.records; }

    ListTally tally;

private:
    QLabel *m_status;
    int m_row = 0;
};

// The office's own waits go to the same status line.
class ListRunForm::OfficeWaits : public RunContext {
public:
    explicit OfficeWaits(FillObserver &observer) : m_observer(observer) {}
    void showWait(const QString &caption) override { m_observer.showWait(caption); }
    QString fieldValue(int) const override { return QString(); }

private:
    FillObserver &m_observer;
};

ListRunForm::ListRunForm(const BatchInput &input, OfficeSession *office, QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("ListRunForm"));
    setWindowTitle(QStringLiteral("Filling From List"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    m_rowLabel = new QLabel(this);
    m_rowLabel->setObjectName(QStringLiteral("lblRow"));
    m_nameLabel = new QLabel(this);
    m_nameLabel->setObjectName(QStringLiteral("lblSaveName"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("barProgress"));
    m_bar->setAccessibleName(QStringLiteral("Rows filled"));
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    m_cancelButton->setAccessibleName(QStringLiteral("Cancel"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_rowLabel);
    layout->addWidget(m_nameLabel);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancelButton, 0, Qt::AlignRight);
    connect(m_cancelButton, &QPushButton::clicked, this, &ListRunForm::cancel);
    resize(420, sizeHint().height());

    m_observer = std::make_unique<Observer>(m_nameLabel);
    m_observer->tally.rowCount = int(input.rows.size());
    m_observer->tally.saveFolder = input.base.folders.saveFolder;
    m_waits = std::make_unique<OfficeWaits>(*m_observer);
    m_printing = std::make_unique<SystemPrinting>(office, m_waits.get());
    m_engines = std::make_unique<SystemEngines>(office ? office->calcEngines(*m_waits) : nullptr);
    m_batch = std::make_unique<BatchRun>(input, *m_observer, *m_printing, *m_engines,
                                         [office, this](const QString &saved) {
                                             return PdfCopy::saveBeside(saved, office, m_waits.get());
                                         });
    m_bar->setRange(0, m_batch->rowCount());
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ListRunForm::slice);
}

ListRunForm::~ListRunForm()
{
    // The batch reports to the observer to its end.
    m_batch.reset();
}

const ListTally &ListRunForm::tally() const { return m_observer->tally; }

void ListRunForm::start()
{
    showProgress();
    show();
    m_cancelButton->setFocus();
    m_timer.start(0);
}

void ListRunForm::cancel()
{
    if (m_cancelled || m_ended)
        return;
    m_cancelled = true;
    m_cancelButton->setEnabled(false);
    m_nameLabel->setText(QStringLiteral("Stopping after this row"));
    m_nameLabel->setAccessibleDescription(m_nameLabel->text());
}

void ListRunForm::slice()
{
    if (!m_cancelled && !m_batch->atEnd()) {
        m_batch->runFor(kSliceMilliseconds);
        showProgress();
    }
    if (m_cancelled || m_batch->atEnd())
        end();
    else
        m_timer.start(0); // events first, then the next slice
}

void ListRunForm::showProgress()
{
    const int done = m_batch->rowsDone();
    const int total = m_batch->rowCount();
    const int shown = std::min(done + 1, total);
    m_rowLabel->setText(QStringLiteral("Row %1 of %2").arg(shown).arg(total));
    m_nameLabel->setText(done < total ? BatchRun::saveNameFor(m_batch->input(), done) : QString());
    m_bar->setValue(done);
    // Screen readers hear the row through the bar's description.
    m_bar->setAccessibleDescription(m_rowLabel->text());
}

void ListRunForm::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_cancelButton->setEnabled(false);
    m_rowLabel->setText(QStringLiteral("Writing the records"));
    m_batch->finish();
    ListTally &tally = m_observer->tally;
    tally.rowsDone = m_batch->rowsDone();
    tally.cancelled = m_cancelled && !m_batch->atEnd();
    auto *summary = new ListSummaryForm(tally, parentWidget());
    summary->show();
    Q_EMIT ended();
    hide();
    deleteLater();
}

void ListRunForm::reject() { cancel(); }

void ListRunForm::closeEvent(QCloseEvent *event)
{
    if (!m_ended) {
        event->ignore(); // the window goes when the rows have stopped
        cancel();
        return;
    }
    QDialog::closeEvent(event);
}

ListSummaryForm::ListSummaryForm(const ListTally &tally, QWidget *owner)
    : QDialog(owner), m_folder(tally.saveFolder)
{
    setObjectName(QStringLiteral("ListSummaryForm"));
    setWindowTitle(QStringLiteral("Fill From List Done"));
    setAttribute(Qt::WA_DeleteOnClose);
    QStringList lines{QStringLiteral("Rows done: %1 of %2%3")
                          .arg(tally.rowsDone)
                          .arg(tally.rowCount)
                          .arg(tally.cancelled ? QStringLiteral(" (cancelled)") : QString()),
                      QStringLiteral("Copies saved: %1").arg(tally.saved),
                      QStringLiteral("Records added: %1").arg(tally.records)};
    if (tally.printed > 0)
        lines << QStringLiteral("Documents printed: %1").arg(tally.printed);
    lines << QStringLiteral("Problems: %1").arg(tally.problems.size());
    auto *counts = new QLabel(lines.join(QLatin1Char('\n')), this);
    counts->setObjectName(QStringLiteral("lblCounts"));
    counts->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    auto *problems = new QListWidget(this);
    problems->setObjectName(QStringLiteral("lstProblems"));
    problems->setAccessibleName(QStringLiteral("Problems"));
    problems->addItems(tally.problems);
    problems->setVisible(!tally.problems.isEmpty());
    auto *open = new QPushButton(QStringLiteral("&Open Folder"), this);
    open->setObjectName(QStringLiteral("cmdOpenFolder"));
    open->setAccessibleName(QStringLiteral("Open the folder of the copies"));
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAccessibleName(QStringLiteral("Close"));
    close->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(counts);
    layout->addWidget(problems);
    layout->addLayout(buttons);
    connect(open, &QPushButton::clicked, this, [this] { Platform::openWithAssociatedProgram(m_folder); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    setAccessibleDescription(counts->text());
    resize(520, tally.problems.isEmpty() ? sizeHint().height() : 360);
}
