#include "ui/dialogs/aboutbox.h"
#include "core/workspace.h"
#include "ui/dialogs/waitform.h"
#include "ui/model/selectform.h"
#include "ui/dialogs/inputrules.h"
#include "ui/editor/modelform.h"
#include "ui/model/identifierform.h"
#include "ui/menu/modelcommands.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>


namespace {
const QByteArray kFirst = " 1 \r\nOnly\r\n 0 \r\n 0 \r\n";
const QByteArray kSecond = " 2 \r\nOne\r\nTwo\r\n 0 \r\n 0 \r\n";

void trigger(const char *action)
{
    MainForm::existing()->findChild<QAction *>(QLatin1String(action))->trigger();
}

void pickInSelection(const QString &model)
{
    QWidget *select = topWindow("SelectForm");
    QVERIFY(select);
    auto *list = child<QListWidget>(select, QStringLiteral("List1"));
    list->setCurrentItem(list->findItems(model, Qt::MatchExactly).value(0));
    QTest::mouseClick(child<QPushButton>(select, QStringLiteral("Command1")), Qt::LeftButton);
}
} // namespace

class TestWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InputRules::configureApplication(); }
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }

    void secondSelectionCommandOnlyRaises_data();
    void secondSelectionCommandOnlyRaises();
    void titlesAreTheWindowsOwn_data();
    void titlesAreTheWindowsOwn();
    void laidOutControlsStayApart_data();
    void laidOutControlsStayApart();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestWindows::secondSelectionCommandOnlyRaises_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("select, then edit") << "mnuSelectModel" << "mnuEditExisitngModel";
    QTest::newRow("select, then select") << "mnuSelectModel" << "mnuSelectModel";
    QTest::newRow("edit, then edit") << "mnuEditExisitngModel" << "mnuEditExisitngModel";
    QTest::newRow("edit, then select") << "mnuEditExisitngModel" << "mnuSelectModel";
}

void TestWindows::secondSelectionCommandOnlyRaises()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("First.mod"), kFirst);
    writeFile(home.appFolder() + QStringLiteral("Second.mod"), kSecond);
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), "First\r\n0\r\n");
    startProgram(m_workspace);
    // An earlier pick of First is what the second command used to act on.
    QTimer::singleShot(0, [] { pickInSelection(QStringLiteral("First")); });
    trigger("mnuSelectModel");
    QCOMPARE(pickedModel(), QStringLiteral("First"));

    QWidget *selectWindow = nullptr;
    QTimer::singleShot(0, [&] {
        selectWindow = topWindow("SelectForm");
        QVERIFY(selectWindow);
        trigger(second.toLatin1().constData());
        QCOMPARE(topWindow("SelectForm"), selectWindow); // the same window, still waiting
        QVERIFY(!topWindow("ModelForm"));
        QCOMPARE(m_workspace.ModelName, QStringLiteral("First"));
        pickInSelection(QStringLiteral("Second"));
    });
    trigger(first.toLatin1().constData());
    QTRY_VERIFY(!topWindow("SelectForm"));
    QCOMPARE(m_workspace.ModelName, QStringLiteral("Second"));
    QCOMPARE(m_workspace.FieldNames, (QStringList{QStringLiteral("One"), QStringLiteral("Two")}));
    if (first == QLatin1String("mnuEditExisitngModel")) {
        QWidget *editor = topWindow("ModelForm");
        QVERIFY(editor);
        QCOMPARE(child<QLineEdit>(editor, QStringLiteral("txtModelName"))->text(), QStringLiteral("Second"));
        editor->close();
    } else {
        QVERIFY(!topWindow("ModelForm"));
    }
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("First.mod")), kFirst);
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Second.mod")), kSecond);
}

void TestWindows::titlesAreTheWindowsOwn_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::newRow("main") << "MainForm" << "Quillmate";
    QTest::newRow("editor") << "ModelForm" << "Create/Edit Model";
    QTest::newRow("location") << "ModelPathForm" << "Select location to store models";
    QTest::newRow("identifier") << "IdentifierForm" << "Identifier Tag Form";
    QTest::newRow("about") << "AboutBox" << "About Quillmate";
}

void TestWindows::titlesAreTheWindowsOwn()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kFirst);
    startProgram(m_workspace);
    if (window == QLatin1String("ModelForm"))
        trigger("mnuCreateModel");
    else if (window == QLatin1String("ModelPathForm"))
        trigger("mnuSetModelLocationPath");
    else if (window == QLatin1String("IdentifierForm"))
        trigger("mnuSaveData");
    else if (window == QLatin1String("AboutBox"))
        trigger("mnuAbout");
    QWidget *w = topWindow(window.toLatin1().constData());
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), title);
    QCOMPARE(w->windowHandle()->title(), title);
    // The window system shows the title with " — " and the application's
    // display name appended whenever a display name is set. None is: the
    // display name then simply follows the application name.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    const QString shown = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(name);
    QCOMPARE(shown, QStringLiteral("probe"));
    QCOMPARE(name, QStringLiteral("QLT"));
}

// The small windows arrange their controls themselves: each control lies
// wholly inside its window, is tall enough for its text, and covers no other.
void TestWindows::laidOutControlsStayApart_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("controls"); // object names, blank-separated
    QTest::newRow("selection") << "SelectForm" << QStringLiteral("Label1 List1 Command1 Command2");
    QTest::newRow("identifier") << "IdentifierForm" << QStringLiteral("Label1 Label2 Text1 List1 Command1 Command2 Command3");
    QTest::newRow("about") << "AboutBox" << QStringLiteral("Label1 Label5 Label2 Label3 Label4 Command1");
    QTest::newRow("wait") << "WaitForm" << QStringLiteral("Label1 lblAction");
}

void TestWindows::laidOutControlsStayApart()
{
    QFETCH(QString, window);
    QFETCH(QString, controls);
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kFirst);
    startProgram(m_workspace);
    if (window == QLatin1String("SelectForm")) {
        SelectForm *select = SelectForm::instance();
        select->setPrompt(QStringLiteral("Select model to load"));
        select->show();
    } else if (window == QLatin1String("IdentifierForm")) {
        trigger("mnuSaveData");
    } else if (window == QLatin1String("AboutBox")) {
        trigger("mnuAbout");
    } else {
        WaitForm::instance()->setAction(QStringLiteral("Printing Letter"));
        WaitForm::instance()->show();
    }
    QWidget *w = topWindow(window.toLatin1().constData());
    QVERIFY(w);
    QList<QRect> placed;
    for (const QString &name : controls.split(QLatin1Char(' '))) {
        auto *control = child<QWidget>(w, name);
        QVERIFY2(control && control->isVisible(), qPrintable(name));
        const QRect r(control->mapTo(w, QPoint(0, 0)), control->size());
        QVERIFY2(w->rect().contains(r), qPrintable(name));
        QVERIFY2(r.height() >= control->minimumSizeHint().height(), qPrintable(name));
        for (const QRect &other : placed)
            QVERIFY2(!r.intersects(other), qPrintable(name));
        placed << r;
    }
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
