#include "ui/dialogs/inputrules.h"
#include "core/workspace.h"
#include "ui/editor/modelform.h"
#include "ui/model/identifierform.h"
#include "ui/menu/modelcommands.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>


// Single-line boxes, Enter on buttons and lists, as a keyboard user meets
// them in every window.
namespace {
const QByteArray kThreeFields = " 3 \r\nName\r\nCity\r\nPhone\r\n 0 \r\n 0 \r\n";

QLineEdit *entry(MainForm *main, int i) { return child<QLineEdit>(main, QStringLiteral("txtWord_%1").arg(i)); }


QWidget *openWindow(Workspace &workspace, const QString &which)
{
    if (which == QLatin1String("MainForm"))
        return topWindow("MainForm");
    if (which == QLatin1String("IdentifierForm"))
        SaveDataCommand(workspace);
    else if (which == QLatin1String("ModelPathForm"))
        SetModelLocationPathCommand(workspace);
    else if (which == QLatin1String("ModelForm"))
        CreateModelCommand(workspace);
    return topWindow(which.toLatin1().constData());
}
} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }

    void pasteKeepsOneLine_data();
    void pasteKeepsOneLine();
    void pastedValueSavesAndLoadsInPlace();
    void enterPressesFocusedButton_data();
    void enterPressesFocusedButton();
    void oneItemListSelectsOnFocus();
    void loadDataWithArrowKeys();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestKeyboard::pasteKeepsOneLine_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("box");
    for (const char *w : {"MainForm", "IdentifierForm", "ModelPathForm"})
        QTest::newRow(w) << QString::fromLatin1(w) << (qstrcmp(w, "MainForm") == 0 ? "txtWord_1" : "Text1");
    QTest::newRow("ModelForm name") << "ModelForm" << "txtModelName";
    QTest::newRow("ModelForm field") << "ModelForm" << "txtField";
}

void TestKeyboard::pasteKeepsOneLine()
{
    QFETCH(QString, window);
    QFETCH(QString, box);
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kThreeFields);
    startProgram(m_workspace);
    QWidget *w = openWindow(m_workspace, window);
    QVERIFY(w);
    auto *target = child<QLineEdit>(w, box);
    QVERIFY(target);
    pasteInto(target, QStringLiteral("/srv/Smith\r\nJones\nLee"));
    QCOMPARE(target->text(), QStringLiteral("/srv/Smith Jones Lee"));
    // Typing goes on after the pasted text.
    QTest::keyClicks(target, QStringLiteral("!"));
    QCOMPARE(target->text(), QStringLiteral("/srv/Smith Jones Lee!"));
}

void TestKeyboard::pastedValueSavesAndLoadsInPlace()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kThreeFields);
    MainForm *main = startProgram(m_workspace);
    pasteInto(entry(main, 1), QStringLiteral("Smith\nJones"));
    entry(main, 2)->setText(QStringLiteral("Leeds"));
    entry(main, 3)->setText(QStringLiteral("555"));
    SaveDataCommand(m_workspace);
    QVERIFY(topWindow("IdentifierForm"));
    auto *tag = child<QLineEdit>(topWindow("IdentifierForm"), QStringLiteral("Text1"));
    QTest::keyClicks(tag, QStringLiteral("t"));
    QTest::mouseClick(child<QPushButton>(topWindow("IdentifierForm"), QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Sample Model/t")),
             QByteArray("Smith Jones\r\nLeeds\r\n555\r\n"));
    for (int i = 1; i <= 3; ++i)
        entry(main, i)->clear();
    m_workspace.DataTag = QStringLiteral("t");
    const Status loaded = m_workspace.loadDataSet();
    QVERIFY2(loaded, qPrintable(loaded.error()));
    QCOMPARE(entryText(main, 1), QStringLiteral("Smith Jones"));
    QCOMPARE(entryText(main, 2), QStringLiteral("Leeds"));
    QCOMPARE(entryText(main, 3), QStringLiteral("555"));
}

void TestKeyboard::enterPressesFocusedButton_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::newRow("identifier cancel, Return") << "IdentifierForm" << "Command2" << int(Qt::Key_Return);
    QTest::newRow("identifier cancel, keypad Enter") << "IdentifierForm" << "Command2" << int(Qt::Key_Enter);
    QTest::newRow("model location OK") << "ModelPathForm" << "Command1" << int(Qt::Key_Return);
    QTest::newRow("model editor Close") << "ModelForm" << "butClose" << int(Qt::Key_Return);
    QTest::newRow("main window OK") << "MainForm" << "butOK" << int(Qt::Key_Return);
}

void TestKeyboard::enterPressesFocusedButton()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(int, key);
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kThreeFields);
    startProgram(m_workspace);
    QWidget *w = openWindow(m_workspace, window);
    QVERIFY(w);
    auto *b = child<QPushButton>(w, button);
    QVERIFY(b);
    int clicks = 0;
    connect(b, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    b->setFocus();
    QTRY_VERIFY(b->hasFocus());
    QTest::keyClick(b, Qt::Key(key));
    QCOMPARE(clicks, 1);
    QTRY_VERIFY(!w->isVisible()); // every one of these buttons closes or hides its window
}

void TestKeyboard::oneItemListSelectsOnFocus()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kThreeFields);
    writeFile(home.appFolder() + QStringLiteral("Sample Model/Smith"), "Smith\r\nLeeds\r\n555\r\n");
    MainForm *main = startProgram(m_workspace);
    LoadDataCommand(m_workspace);
    QWidget *w = topWindow("IdentifierForm");
    QVERIFY(w);
    auto *list = child<QListWidget>(w, QStringLiteral("List1"));
    list->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(list->hasFocus());
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(child<QLineEdit>(w, QStringLiteral("Text1"))->text(), QStringLiteral("Smith"));
    auto *ok = child<QPushButton>(w, QStringLiteral("Command1"));
    ok->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ok, Qt::Key_Return);
    QTRY_VERIFY(!topWindow("IdentifierForm"));
    QCOMPARE(entryText(main, 2), QStringLiteral("Leeds"));
}

void TestKeyboard::loadDataWithArrowKeys()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kThreeFields);
    for (const char *tag : {"Adams", "Brown", "Clark"})
        writeFile(home.appFolder() + QStringLiteral("Sample Model/") + QLatin1String(tag),
                  QByteArray(tag) + "\r\nLeeds\r\n555\r\n");
    MainForm *main = startProgram(m_workspace);
    LoadDataCommand(m_workspace);
    QWidget *w = topWindow("IdentifierForm");
    QVERIFY(w);
    auto *list = child<QListWidget>(w, QStringLiteral("List1"));
    auto *tagBox = child<QLineEdit>(w, QStringLiteral("Text1"));
    list->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->selectedItems().size(), 1);
    const QString picked = list->selectedItems().first()->text();
    QCOMPARE(tagBox->text(), picked);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(tagBox->text(), list->selectedItems().first()->text());
    QVERIFY(tagBox->text() != picked);
    const QString chosen = tagBox->text();
    auto *ok = child<QPushButton>(w, QStringLiteral("Command1"));
    ok->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ok, Qt::Key_Return);
    QTRY_VERIFY(!topWindow("IdentifierForm"));
    QCOMPARE(entryText(main, 1), chosen);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
