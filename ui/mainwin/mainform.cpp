#include "ui/mainwin/mainform.h"
#include "core/workspace.h"

#include "ui/dialogs/inputrules.h"
#include "ui/dialogs/modelmessages.h"
#include "ui/fill/confirmform.h"
#include "core/modelstore.h"
#include "core/model/qltbas.h"
#include "platform/gui/screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

using Screen::twips;

namespace {
// Design positions, in twips.
constexpr int kLabel1Left = 120;
constexpr int kLabel1Top = 120;
constexpr int kLabel1Height = 255;
constexpr int kRowLeft = 120;
constexpr int kTemplateTop = 175;     // top of the template row
constexpr int kBoxHeight = 300;
constexpr int kRowSpacing = 400;
constexpr int kScrollWidth = 255;
constexpr int kOkLeft = 240;
constexpr int kOkWidth = 1200;
constexpr int kOkHeight = 375;

int top0() { return kLabel1Top + kLabel1Height - 200; }
} // namespace

MainForm::MainForm(Workspace &workspace)
    : m_workspace(workspace)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Quillmate"));
    // The program ends with this window; a test's next start builds a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    // Values set elsewhere (a loaded data set, a finished run) show here.
    connect(&m_workspace, &Workspace::valueChanged, this, &MainForm::showValue);
    connect(&m_workspace, &Workspace::valuesCleared, this, &MainForm::showValues);
    // A model read from its file names itself above the rows.
    connect(&m_workspace, &Workspace::modelChanged, this, [this] { setModelCaption(m_workspace.ModelName); });
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("central"));
    setCentralWidget(m_central);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(pal);
    setAutoFillBackground(true);

    m_modelCaption = new QLabel(QStringLiteral("Model: "), m_central);
    m_modelCaption->setObjectName(QStringLiteral("Label1"));
    m_modelCaption->move(twips(kLabel1Left), twips(kLabel1Top));
    m_modelCaption->resize(m_modelCaption->sizeHint().width(), twips(kLabel1Height));

    m_modelNameLabel = new QLabel(m_central);
    m_modelNameLabel->setObjectName(QStringLiteral("lblModel"));
    QPalette red = m_modelNameLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_modelNameLabel->setPalette(red);
    m_modelNameLabel->setGeometry(m_modelCaption->x() + m_modelCaption->width(), m_modelCaption->y(), twips(6000), twips(kLabel1Height));

    m_pageScrollBar = new QScrollBar(Qt::Vertical, m_central);
    m_pageScrollBar->setObjectName(QStringLiteral("VScroll1"));
    m_pageScrollBar->setRange(1, 1);
    m_pageScrollBar->hide();
    connect(m_pageScrollBar, &QScrollBar::valueChanged, this, &MainForm::scrollValueChanged);

    m_okButton = new QPushButton(QStringLiteral("&OK"), m_central);
    m_okButton->setObjectName(QStringLiteral("butOK"));
    m_okButton->setGeometry(twips(kOkLeft), twips(2000), twips(kOkWidth), twips(kOkHeight));
    connect(m_okButton, &QPushButton::clicked, this, &MainForm::okClicked);

    createRow(0); // the hidden templates
    // The windows below hand the screen back to the open main window.
    MainWindowLink::setFinder([]() -> MainWindowLink * { return MainForm::existing(); });
}

void MainForm::startUp()
{
    InputRules::install();
    m_workspace.findStartupFolders();
    const QSize screen = Screen::size();
    resize(screen.width() * 9 / 10, screen.height() * 8 / 10);
    Screen::centreForm(this);
    ModelStore::loadSettings(m_workspace);
    if (!m_workspace.ModelName.isEmpty()) {
        loadModelTellingUser(m_workspace, m_workspace.ModelName);
        ShowModel();
    }
    show();
}

void MainForm::setModelCaption(const QString &name)
{
    m_modelNameLabel->setText(name);
    m_modelNameLabel->resize(std::max(m_modelNameLabel->sizeHint().width(), twips(6000)), m_modelNameLabel->height());
}

int MainForm::widthTwips() const { return Screen::toTwips(m_central->width()); }

int MainForm::heightTwips() const { return Screen::toTwips(m_central->height()); }

void MainForm::createRow(int i)
{
    auto *label = new QLabel(m_central);
    label->setObjectName(QStringLiteral("lblWord_%1").arg(i));
    label->hide();
    auto *box = new QLineEdit(m_central);
    box->setObjectName(QStringLiteral("txtWord_%1").arg(i));
    box->hide();
    if (i == 0) {
        label->move(twips(kRowLeft), twips(kTemplateTop + 120));
        box->setGeometry(twips(kRowLeft + 1000), twips(kTemplateTop), twips(3000), twips(kBoxHeight));
    } else {
        box->resize(m_valueBoxes[0]->size());
        box->setText(m_workspace.value(i));
        // Screen readers announce the box by its field's name. The label is
        // also its buddy, unless the name holds an "&", which a buddy's
        // label would show as a keyboard mnemonic instead.
        const QString field = m_workspace.FieldNames.value(i - 1);
        box->setAccessibleName(field);
        if (!field.contains(QLatin1Char('&')))
            label->setBuddy(box);
        // The box edits the workspace's value; the workspace is the store.
        connect(box, &QLineEdit::textChanged, this, [this, i](const QString &text) { m_workspace.setValue(i, text); });
        connect(box, &QLineEdit::returnPressed, this, [this, i] { enterPressed(i); });
    }
    m_fieldLabels.append(label);
    m_valueBoxes.append(box);
}

void MainForm::removeRows()
{
    // Every row goes, however many fields the last model had.
    while (m_valueBoxes.size() > 1) {
        delete m_valueBoxes.takeLast();
        delete m_fieldLabels.takeLast();
    }
}

void MainForm::ShowModel()
{
    removeRows();
    // Values typed for another model's fields do not carry over.
    m_workspace.clearValues();
    const int count = m_workspace.FieldCount();
    for (int i = 1; i <= count; ++i)
        createRow(i);
    LayoutFields();
    show();
    QApplication::processEvents();
    focusFirstField();
}

void MainForm::focusFirstField()
{
    if (m_valueBoxes.size() > 1)
        m_valueBoxes[1]->setFocus();
}

void MainForm::placeRow(int r, int yTwips)
{
    QLabel *label = m_fieldLabels[r];
    QLineEdit *box = m_valueBoxes[r];
    label->adjustSize();
    const int left0 = Screen::toTwips(m_fieldLabels[0]->x());
    label->move(twips(left0), twips(yTwips + 120));
    const int boxLeft = Screen::toTwips(label->x() + label->width()) + 50;
    const int boxWidth = widthTwips() - boxLeft - 2 * left0 - 2 * kScrollWidth;
    box->setGeometry(twips(boxLeft), twips(yTwips), std::max(0, twips(boxWidth)), box->height());
}

void MainForm::LayoutFields()
{
    const Workspace &s = m_workspace;
    const int count = rowCount();
    const int height = heightTwips();

    m_pageScrollBar->hide();
    m_pageScrollBar->setGeometry(twips(widthTwips() - 2 * kScrollWidth), m_pageScrollBar->y(), twips(kScrollWidth),
                            m_pageScrollBar->height());
    m_pageScrollBar->setValue(1); // pages back to the first page while scrolling is on

    bool overflowed = false;
    for (int i = 1; i <= count && i < m_valueBoxes.size(); ++i) {
        const int y = top0() + kRowSpacing * i;
        const int previousTop = i == 1 ? kTemplateTop : top0() + kRowSpacing * (i - 1);
        if (!overflowed && previousTop + kRowSpacing + 1200 + kOkHeight > height) {
            m_scrollingOn = false;
            const int scrollHeight = previousTop + kBoxHeight - kTemplateTop;
            m_pageScrollBar->setGeometry(m_pageScrollBar->x(), twips(kTemplateTop), twips(kScrollWidth),
                                    std::max(1, twips(scrollHeight)));
            m_pageScrollBar->show();
            m_pageScrollBar->setMinimum(1);
            m_pageScrollBar->setMaximum(count - i + 3);
            m_pageScrollBar->setPageStep(std::max(1, i - 1));
            m_pageScrollBar->setSingleStep(1);
            m_rowsPerPage = i - 1;
            overflowed = true;
            m_scrollingOn = true;
        }
        m_fieldLabels[i]->setText(s.FieldNames.value(i - 1));
        if (!overflowed) {
            placeRow(i, y);
            m_valueBoxes[i]->show();
            m_fieldLabels[i]->show();
        } else {
            // Rows beyond the page would otherwise linger where an earlier,
            // larger page put them.
            m_valueBoxes[i]->hide();
            m_fieldLabels[i]->hide();
        }
    }
}

void MainForm::ShowFieldsFrom(int first)
{
    const Workspace &s = m_workspace;
    const int start = first - 1;
    for (int r = 0; r < m_valueBoxes.size(); ++r) {
        m_valueBoxes[r]->hide();
        m_fieldLabels[r]->hide();
    }
    for (int j = 1; j <= m_rowsPerPage; ++j) {
        const int r = start + j;
        if (r < 1 || r >= m_valueBoxes.size())
            continue;
        m_fieldLabels[r]->setText(s.FieldNames.value(r - 1));
        placeRow(r, top0() + kRowSpacing * j);
        m_valueBoxes[r]->show();
        m_fieldLabels[r]->show();
    }
}

void MainForm::scrollValueChanged(int value)
{
    if (m_scrollingOn)
        ShowFieldsFrom(value);
}

void MainForm::enterPressed(int i)
{
    if (i >= m_workspace.FieldCount() || i + 1 >= m_valueBoxes.size()) {
        okClicked();
        return;
    }
    QLineEdit *next = m_valueBoxes[i + 1];
    if (next->isHidden() && m_scrollingOn)
        m_pageScrollBar->setValue(std::min(i + 1, m_pageScrollBar->maximum()));
    next->setFocus();
}

bool MainForm::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab page the rows as Enter does, so that a keyboard
    // reaches the rows off the page too.
    // A box being hidden by paging also asks to pass its focus on: only a
    // visible one pages.
    const auto *focused = qobject_cast<QLineEdit *>(focusWidget());
    const int i = focused && focused->isVisible() ? static_cast<int>(m_valueBoxes.indexOf(focused)) : -1;
    const int target = next ? i + 1 : i - 1;
    if (i < 1 || target < 1 || target >= m_valueBoxes.size() || !m_scrollingOn
        || !m_valueBoxes[target]->isHidden())
        return QMainWindow::focusNextPrevChild(next);
    m_pageScrollBar->setValue(std::min(next ? i + 1 : std::max(1, target - m_rowsPerPage + 1),
                                       m_pageScrollBar->maximum()));
    m_valueBoxes[target]->setFocus(Qt::TabFocusReason);
    return true;
}

void MainForm::okClicked()
{
    ConfirmForm::instance(m_workspace)->show();
    hide();
}

void MainForm::showValue(int i)
{
    if (i >= 1 && i < m_valueBoxes.size() && m_valueBoxes[i]->text() != m_workspace.value(i))
        m_valueBoxes[i]->setText(m_workspace.value(i));
}

void MainForm::showValues()
{
    for (int i = 1; i < m_valueBoxes.size(); ++i)
        showValue(i);
}

void MainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_modelNameLabel->move(m_modelCaption->x() + m_modelCaption->width(), m_modelNameLabel->y());
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // In its normal state the window keeps one size; hand resizing snaps back.
        const QSize screen = Screen::size();
        const QSize target(screen.width() * 9 / 10, screen.height() * 8 / 10);
        if (size() != target) {
            resize(target);
            Screen::centreForm(this);
            return; // the resize above comes back here with the final size
        }
    }
    m_okButton->move(m_okButton->x(), std::max(0, m_central->height() - 3 * m_okButton->height()));
    LayoutFields();
}

void MainForm::closeEvent(QCloseEvent *event)
{
    SingleWindow::closeEvent(event);
    EndProgram();
}

namespace {
int g_endCount = 0;
bool g_ending = false;
} // namespace

void EndProgram()
{
    // Closing the main window ends the program, with every other window.
    if (g_ending)
        return;
    g_ending = true;
    ++g_endCount;
    QApplication::closeAllWindows();
    QApplication::quit();
    g_ending = false;
}

int programEndCount() { return g_endCount; }
