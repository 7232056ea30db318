#include "core/model/qltbas.h"
#include "core/workspace.h"
#include "platform/gui/screen.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>


namespace {
void writeModel(const TestHome &home, const QString &name, int fields)
{
    QByteArray text = " " + QByteArray::number(fields) + " \r\n";
    for (int i = 1; i <= fields; ++i)
        text += "Field " + QByteArray::number(i) + "\r\n";
    text += " 0 \r\n 0 \r\n";
    writeFile(home.appFolder() + name + QStringLiteral(".mod"), text);
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), name.toUtf8() + "\r\n0\r\n");
}

QLineEdit *box(MainForm *main, int i) { return child<QLineEdit>(main, QStringLiteral("txtWord_%1").arg(i)); }
QLabel *label(MainForm *main, int i) { return child<QLabel>(main, QStringLiteral("lblWord_%1").arg(i)); }
QScrollBar *scrollBar(MainForm *main) { return child<QScrollBar>(main, QStringLiteral("VScroll1")); }

QList<int> visibleRows(MainForm *main)
{
    QList<int> rows;
    for (int i = 1; i <= main->rowCount(); ++i)
        if (box(main, i)->isVisible()) {
            rows << i;
            if (!label(main, i)->isVisible() || label(main, i)->text() != QStringLiteral("Field %1").arg(i))
                rows << -i; // a box shown without its own label is a fault
        }
    return rows;
}

QList<int> range(int from, int to)
{
    QList<int> r;
    for (int i = from; i <= to; ++i)
        r << i;
    return r;
}
} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }

    void fewFieldsShowWithoutScrollBar();
    void noFieldsNoRows();
    void manyFieldsPage();
    void valuesSurvivePagingAndResizing();
    void boxesEditTheWorkspace();
    void enterWalksAndBringsNextPage();
    void resizeSnapsBack();
    void loadingSmallerModelRemovesRows();
    void colours();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestMainForm::fewFieldsShowWithoutScrollBar()
{
    TestHome home;
    writeModel(home, QStringLiteral("Small"), 3);
    MainForm *main = startProgram(m_workspace);
    QCOMPARE(visibleRows(main), range(1, 3));
    QVERIFY(!scrollBar(main)->isVisible());
    QVERIFY(!box(main, 0)->isVisible());
    QCOMPARE(box(main, 2)->y() - box(main, 1)->y(), Screen::twips(400));
    // Each box starts just right of its own label.
    QVERIFY(box(main, 1)->x() > label(main, 1)->x() + label(main, 1)->width());
}

void TestMainForm::noFieldsNoRows()
{
    TestHome home;
    writeModel(home, QStringLiteral("Empty"), 0);
    MainForm *main = startProgram(m_workspace);
    QCOMPARE(main->rowCount(), 0);
    QVERIFY(!scrollBar(main)->isVisible());
    QVERIFY(child<QPushButton>(main, QStringLiteral("butOK"))->isVisible());
}

void TestMainForm::manyFieldsPage()
{
    TestHome home;
    writeModel(home, QStringLiteral("Big"), 40);
    MainForm *main = startProgram(m_workspace);
    QTRY_VERIFY(main->isVisible());
    const int perPage = main->rowsPerPage();
    QVERIFY(main->scrollingOn());
    QVERIFY(perPage > 2 && perPage < 40);
    QScrollBar *bar = scrollBar(main);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->minimum(), 1);
    QCOMPARE(bar->maximum(), 40 - perPage + 2);
    QCOMPARE(bar->pageStep(), perPage);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(visibleRows(main), range(1, perPage));
    // The rows that fit stay clear of the OK button.
    QPushButton *ok = child<QPushButton>(main, QStringLiteral("butOK"));
    QVERIFY(box(main, perPage)->geometry().bottom() < ok->y());

    const int firstRowTop = box(main, 1)->y();
    bar->setValue(5);
    QCOMPARE(visibleRows(main), range(5, 5 + perPage - 1));
    QCOMPARE(box(main, 5)->y(), firstRowTop); // a page starts where the first row stands
    bar->setValue(bar->maximum());
    // The last position shows the last RowsPerPage - 1 fields and one empty place.
    QCOMPARE(visibleRows(main), range(40 - perPage + 2, 40));
    QTest::keyClick(bar, Qt::Key_PageUp);
    QCOMPARE(bar->value(), bar->maximum() - perPage);
}

void TestMainForm::valuesSurvivePagingAndResizing()
{
    TestHome home;
    writeModel(home, QStringLiteral("Big"), 40);
    MainForm *main = startProgram(m_workspace);
    QTest::keyClicks(box(main, 1), QStringLiteral("Ann"));
    setEntryText(main, 40, QStringLiteral("last"));
    QScrollBar *bar = scrollBar(main);
    bar->setValue(bar->maximum());
    bar->setValue(1);
    QCOMPARE(entryText(main, 1), QStringLiteral("Ann"));
    main->showMaximized();
    QTRY_VERIFY(main->isMaximized());
    main->showNormal();
    QTRY_VERIFY(!main->isMaximized());
    QCOMPARE(entryText(main, 1), QStringLiteral("Ann"));
    QCOMPARE(entryText(main, 40), QStringLiteral("last"));
    QCOMPARE(visibleRows(main), range(1, main->rowsPerPage()));
}

void TestMainForm::boxesEditTheWorkspace()
{
    TestHome home;
    writeModel(home, QStringLiteral("Small"), 3);
    MainForm *main = startProgram(m_workspace);
    Workspace &workspace = m_workspace;
    QTest::keyClicks(box(main, 2), QStringLiteral("Rome"));
    QCOMPARE(workspace.value(2), QStringLiteral("Rome"));
    workspace.setValue(3, QStringLiteral("2026"));
    QCOMPARE(box(main, 3)->text(), QStringLiteral("2026"));
    workspace.clearValues();
    QCOMPARE(box(main, 2)->text(), QString());
    // Another model's fields start empty.
    QTest::keyClicks(box(main, 1), QStringLiteral("Ann"));
    workspace.FieldNames = {QStringLiteral("A"), QStringLiteral("B")};
    main->ShowModel();
    QCOMPARE(box(main, 1)->text(), QString());
    QVERIFY(workspace.values().isEmpty());
}

void TestMainForm::enterWalksAndBringsNextPage()
{
    TestHome home;
    writeModel(home, QStringLiteral("Big"), 40);
    MainForm *main = startProgram(m_workspace);
    QTRY_VERIFY(box(main, 1)->hasFocus());
    QTest::keyClick(box(main, 1), Qt::Key_Return);
    QTRY_VERIFY(box(main, 2)->hasFocus());
    const int perPage = main->rowsPerPage();
    box(main, perPage)->setFocus();
    QTest::keyClick(box(main, perPage), Qt::Key_Return);
    QTRY_VERIFY(box(main, perPage + 1)->hasFocus());
    QVERIFY(box(main, perPage + 1)->isVisible());
}

void TestMainForm::resizeSnapsBack()
{
    TestHome home;
    writeModel(home, QStringLiteral("Small"), 3);
    MainForm *main = startProgram(m_workspace);
    const QSize screen = Screen::size();
    const QSize expected(screen.width() * 9 / 10, screen.height() * 8 / 10);
    QTRY_COMPARE(main->size(), expected);
    main->resize(300, 200);
    QTRY_COMPARE(main->size(), expected);
    QCOMPARE(main->x(), (screen.width() - main->frameGeometry().width()) / 2);
}

void TestMainForm::loadingSmallerModelRemovesRows()
{
    TestHome home;
    writeModel(home, QStringLiteral("Big"), 40);
    MainForm *main = startProgram(m_workspace);
    setEntryText(main, 1, QStringLiteral("x"));
    m_workspace.FieldNames = {QStringLiteral("A"), QStringLiteral("B")};
    main->ShowModel();
    QCOMPARE(main->rowCount(), 2);
    QVERIFY(!box(main, 3));
    QCOMPARE(entryText(main, 1), QString());
    QCOMPARE(label(main, 2)->text(), QStringLiteral("B"));
    QVERIFY(!scrollBar(main)->isVisible());
    QVERIFY(box(main, 2)->isVisible());
}

void TestMainForm::colours()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    QCOMPARE(main->palette().color(QPalette::Window), QColor(224, 224, 224));
    QCOMPARE(child<QLabel>(main, QStringLiteral("lblModel"))->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(main->windowTitle(), QStringLiteral("Quillmate"));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
