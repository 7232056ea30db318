#include "ui/fill/previewform.h"

#include "core/fill/runcontext.h"
#include "core/print/preview.h"
#include "platform/gui/messagebox.h"
#include "platform/gui/screen.h"
#include "ui/dialogs/waitform.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr qreal kZoomStep = 1.25;
constexpr qreal kMinZoom = 0.1;
constexpr qreal kMaxZoom = 8.0;

// Waiting for the office shows in the wait window, as during a run.
class OfficeWait : public RunContext {
public:
    void showWait(const QString &caption) override
    {
        waitShown = true;
        WaitForm::showAction(caption);
    }
    QString fieldValue(int) const override { return QString(); }
};
} // namespace

bool PreviewForm::showDocument(const Preview::Request &request, OfficeSession *session, QWidget *owner)
{
    OfficeWait waits;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result<QByteArray> pages = Preview::pages(request, session, &waits);
    QApplication::restoreOverrideCursor();
    if (waits.waitShown)
        if (WaitForm *wait = WaitForm::existing())
            wait->close();
    if (!pages) {
        Ask::show(pages.error(), QStringLiteral("Problem"), Ask::OkOnly, Ask::NoIcon, owner);
        return false;
    }
    // A preview of other values replaces the one on screen.
    if (PreviewForm *old = existing(); old && old->parentWidget() != owner)
        old->close();
    PreviewForm *form = instance(owner);
    form->setPages(*pages, request.documentName);
    form->show();
    form->raise();
    form->activateWindow();
    return true;
}

PreviewForm::PreviewForm(QWidget *owner)
    : SingleWindow(owner, Qt::Window)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Preview"));

    m_document = new QPdfDocument(this);
    m_view = new QPdfView(this);
    m_view->setObjectName(QStringLiteral("pdfView"));
    m_view->setAccessibleName(QStringLiteral("Page"));
    m_view->setPageMode(QPdfView::PageMode::SinglePage);
    m_view->setZoomMode(QPdfView::ZoomMode::Custom);
    m_view->setDocument(m_document);

    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    m_previousButton = button("cmdPrevious", QStringLiteral("&Previous"));
    m_nextButton = button("cmdNext", QStringLiteral("&Next"));
    m_zoomOutButton = button("cmdZoomOut", QStringLiteral("Zoom &Out"));
    m_zoomInButton = button("cmdZoomIn", QStringLiteral("Zoom &In"));
    m_closeButton = button("cmdClose", QStringLiteral("&Close"));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(QStringLiteral("lblZoom"));
    connect(m_previousButton, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_nextButton, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_zoomInButton, &QPushButton::clicked, this, [this] { zoomBy(kZoomStep); });
    connect(m_zoomOutButton, &QPushButton::clicked, this, [this] { zoomBy(1 / kZoomStep); });
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    // The usual keys of document viewers.
    const auto shortcut = [this](const QKeySequence &keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { showPage(m_page + 1); });
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { showPage(m_page - 1); });
    shortcut(QKeySequence::ZoomIn, [this] { zoomBy(kZoomStep); });
    shortcut(QKeySequence::ZoomOut, [this] { zoomBy(1 / kZoomStep); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { close(); });

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_previousButton);
    bar->addWidget(m_pageLabel);
    bar->addWidget(m_nextButton);
    bar->addStretch();
    bar->addWidget(m_zoomOutButton);
    bar->addWidget(m_zoomLabel);
    bar->addWidget(m_zoomInButton);
    bar->addStretch();
    bar->addWidget(m_closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);

    resize(Screen::twips(10000), Screen::twips(12000));
    Screen::centreForm(this);
}

PreviewForm::~PreviewForm()
{
    m_view->setDocument(nullptr);
    m_document->close();
}

void PreviewForm::setPages(const QByteArray &pdf, const QString &documentName)
{
    m_document->close();
    m_source.close();
    m_pdf = pdf;
    m_source.setBuffer(&m_pdf);
    m_source.open(QIODevice::ReadOnly);
    m_document->load(&m_source);
    m_view->setAccessibleDescription(documentName);
    m_fitPending = true;
    if (isVisible())
        fitPage();
    m_page = -1;
    showPage(0);
}

void PreviewForm::showEvent(QShowEvent *event)
{
    SingleWindow::showEvent(event);
    if (m_fitPending)
        fitPage(); // the view has its size only now
}

void PreviewForm::fitPage()
{
    // The whole first page in view, never larger than life.
    m_fitPending = false;
    const QSizeF page = m_document->pagePointSize(0) * logicalDpiY() / 72.0;
    const QMargins margins = m_view->documentMargins();
    const QSize room = m_view->viewport()->size().shrunkBy(margins);
    if (page.isEmpty() || room.isEmpty())
        return;
    m_view->setZoomFactor(std::clamp(std::min(room.width() / page.width(), room.height() / page.height()), kMinZoom, 1.0));
    showPosition();
}

void PreviewForm::closeEvent(QCloseEvent *event)
{
    SingleWindow::closeEvent(event);
    // The keyboard goes back to the window the preview was opened from.
    if (event->isAccepted() && parentWidget())
        parentWidget()->activateWindow();
}

int PreviewForm::pageCount() const { return m_document->pageCount(); }

int PreviewForm::currentPage() const { return m_page; }

void PreviewForm::showPage(int page)
{
    page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    if (page == m_page)
        return;
    m_page = page;
    m_view->pageNavigator()->jump(page, QPointF(), m_view->zoomFactor());
    showPosition();
}

void PreviewForm::zoomBy(qreal factor)
{
    m_view->setZoomFactor(std::clamp(m_view->zoomFactor() * factor, kMinZoom, kMaxZoom));
    showPosition();
}

void PreviewForm::showPosition()
{
    m_pageLabel->setText(QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(pageCount()));
    m_zoomLabel->setText(QStringLiteral("%1 %").arg(std::lround(m_view->zoomFactor() * 100)));
    m_previousButton->setEnabled(m_page > 0);
    m_nextButton->setEnabled(m_page + 1 < pageCount());
}
