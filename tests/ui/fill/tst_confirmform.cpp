#include "ui/fill/confirmform.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>


namespace {
// Two documents and one spreadsheet, three fields.
MainForm *startWithModel(Workspace &workspace, const TestHome &home)
{
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"),
              " 3 \r\nName\r\nCity\r\nPhone\r\n 2 \r\nLetter\r\nInvoice\r\n 1 \r\n/nowhere/Book.xls\r\n 1 \r\n");
    writeFile(home.appFolder() + QStringLiteral("Letter.rtf"), "{\\rtf1 Dear &Name& of &City&\\par}");
    writeFile(home.appFolder() + QStringLiteral("Invoice.txt"), "To &Name&, phone &Phone&");
    return startProgram(workspace);
}

QWidget *openConfirm(MainForm *main)
{
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    return topWindow("ConfirmForm");
}

QCheckBox *box(QWidget *confirm, const char *kind, int n)
{
    return child<QCheckBox>(confirm, QStringLiteral("%1_%2").arg(QLatin1String(kind)).arg(n));
}

void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2)); }
void clickButton(QWidget *confirm, const char *name) { click(child<QPushButton>(confirm, QLatin1String(name))); }
} // namespace

class TestConfirmForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // No printer for these tests: printing is tested against a real spooler elsewhere.
    void initTestCase() { qputenv("CUPS_SERVER", "/nonexistent/cups.sock"); }
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }

    void rowsAndTicks();
    void saveNameBoxFollowsDocumentSaveBoxes();
    void emptyOrUnsafeSaveNameAborts();
    void nothingTickedDoesNothing();
    void savesFilledCopies();
    void failingSaveDoesNotStopNextDocument();
    void missingPrinterIsAProblem();
    void closeClearsValuesAndRebuilds();
    void enterInLastBoxActsAsOk();
    void closeAndOkIgnoredDuringRun();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestConfirmForm::rowsAndTicks()
{
    TestHome home;
    MainForm *main = startWithModel(m_workspace, home);
    QWidget *confirm = openConfirm(main);
    QVERIFY(confirm);
    QVERIFY(!main->isVisible());
    QCOMPARE(confirm->windowTitle(), QStringLiteral("Confirm Documents to print or save"));
    QCOMPARE(child<QLabel>(confirm, QStringLiteral("lblDoc_1"))->text(), QStringLiteral("Letter  "));
    QCOMPARE(child<QLabel>(confirm, QStringLiteral("lblDoc_3"))->text(), QStringLiteral("/nowhere/Book.xls  "));
    for (int n : {1, 2}) {
        QVERIFY(box(confirm, "chkPrint", n)->isChecked());
        QVERIFY(!box(confirm, "chkSave", n)->isChecked());
        QCOMPARE(box(confirm, "chkPrint", n)->text(), QStringLiteral("Print  "));
    }
    QVERIFY(!box(confirm, "chkPrint", 3));
    QVERIFY(box(confirm, "chkSave", 3)->isChecked());
    QVERIFY(box(confirm, "chkSave", 3)->isVisible());
    QVERIFY(child<QRadioButton>(confirm, QStringLiteral("Option1"))->isChecked());
    QVERIFY(!child<QLabel>(confirm, QStringLiteral("Label2"))->isVisible());
    QVERIFY(!child<QLineEdit>(confirm, QStringLiteral("txtSaveName"))->isVisible());
    // Each row's boxes follow right after its own label.
    QLabel *label = child<QLabel>(confirm, QStringLiteral("lblDoc_1"));
    QCOMPARE(box(confirm, "chkPrint", 1)->x(), label->x() + label->width());
    QVERIFY(box(confirm, "chkSave", 3)->x() > box(confirm, "chkSave", 1)->x());
}

void TestConfirmForm::saveNameBoxFollowsDocumentSaveBoxes()
{
    TestHome home;
    QWidget *confirm = openConfirm(startWithModel(m_workspace, home));
    auto *saveName = child<QLineEdit>(confirm, QStringLiteral("txtSaveName"));
    auto *ok = child<QPushButton>(confirm, QStringLiteral("Command1"));
    click(box(confirm, "chkSave", 1));
    QVERIFY(saveName->isVisible());
    QVERIFY(child<QLabel>(confirm, QStringLiteral("Label2"))->isVisible());
    QVERIFY(saveName->geometry().bottom() < ok->y());
    click(box(confirm, "chkSave", 2));
    click(box(confirm, "chkSave", 1));
    QVERIFY(saveName->isVisible()); // document 2 is still to be saved
    click(box(confirm, "chkSave", 2));
    QVERIFY(!saveName->isVisible());
    click(box(confirm, "chkSave", 3));
    click(box(confirm, "chkSave", 3));
    QVERIFY(!saveName->isVisible());
}

void TestConfirmForm::emptyOrUnsafeSaveNameAborts()
{
    TestHome home;
    QWidget *confirm = openConfirm(startWithModel(m_workspace, home));
    click(box(confirm, "chkSave", 1));
    for (const QString &name : {QString(), QStringLiteral("../evil"), QStringLiteral("..")}) {
        Ask::clearRecords();
        child<QLineEdit>(confirm, QStringLiteral("txtSaveName"))->setText(name);
        clickButton(confirm, "Command1");
        QCOMPARE(Ask::records().size(), 1);
        QCOMPARE(lastTitle(), QStringLiteral("Operation aborting"));
        // A refused name also says why; an empty one gets the usual words alone.
        const QString usual = QStringLiteral("If you want to save document files, you need to supply a name to "
                                             "append to saved files.");
        QCOMPARE(lastMessage(), name.isEmpty() ? usual
                                               : usual + QStringLiteral("\r\n")
                                                     + (name.contains(QLatin1Char('/'))
                                                            ? QStringLiteral("Names cannot contain / or \\.")
                                                            : QStringLiteral("Names cannot be . or ..")));
        QVERIFY(!topWindow("WaitForm"));
    }
    QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(QDir(home.documents()).entryList(QDir::Files), QStringList());
}

void TestConfirmForm::nothingTickedDoesNothing()
{
    TestHome home;
    QWidget *confirm = openConfirm(startWithModel(m_workspace, home));
    for (int n : {1, 2})
        click(box(confirm, "chkPrint", n));
    click(box(confirm, "chkSave", 3));
    clickButton(confirm, "Command1");
    QVERIFY(Ask::records().isEmpty());
    QVERIFY(!topWindow("WaitForm"));
    QVERIFY(confirm->isVisible());
}

void TestConfirmForm::savesFilledCopies()
{
    TestHome home;
    MainForm *main = startWithModel(m_workspace, home);
    QTest::keyClicks(child<QLineEdit>(main, QStringLiteral("txtWord_1")), QStringLiteral("Ann"));
    setEntryText(main, 2, QStringLiteral("Rome"));
    setEntryText(main, 3, QStringLiteral("555"));
    QWidget *confirm = openConfirm(main);
    for (int n : {1, 2}) {
        click(box(confirm, "chkPrint", n));
        click(box(confirm, "chkSave", n));
    }
    click(box(confirm, "chkSave", 3));
    QTest::keyClicks(child<QLineEdit>(confirm, QStringLiteral("txtSaveName")), QStringLiteral("Smith"));
    clickButton(confirm, "Command1");
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QCOMPARE(readFile(home.documents() + QStringLiteral("Smith-Letter.rtf")), QByteArray("{\\rtf1 Dear Ann of Rome\\par}"));
    QCOMPARE(readFile(home.documents() + QStringLiteral("Smith-Invoice.txt")), QByteArray("To Ann, phone 555"));
    QVERIFY(!topWindow("WaitForm"));
    QVERIFY(confirm->isVisible());
    QVERIFY(child<QPushButton>(confirm, QStringLiteral("Command1"))->isEnabled());
}

void TestConfirmForm::failingSaveDoesNotStopNextDocument()
{
    TestHome home;
    QWidget *confirm = openConfirm(startWithModel(m_workspace, home));
    QDir().mkpath(home.documents() + QStringLiteral("S-Letter.rtf")); // a folder where the file should go
    for (int n : {1, 2}) {
        click(box(confirm, "chkPrint", n));
        click(box(confirm, "chkSave", n));
    }
    click(box(confirm, "chkSave", 3));
    child<QLineEdit>(confirm, QStringLiteral("txtSaveName"))->setText(QStringLiteral("S"));
    clickButton(confirm, "Command1");
    QCOMPARE(Ask::records().size(), 1);
    QCOMPARE(lastTitle(), QStringLiteral("Problem"));
    QVERIFY(lastMessage().endsWith(QStringLiteral(" while saving Letter")));
    QVERIFY(QFileInfo::exists(home.documents() + QStringLiteral("S-Invoice.txt")));
}

void TestConfirmForm::missingPrinterIsAProblem()
{
    TestHome home;
    QWidget *confirm = openConfirm(startWithModel(m_workspace, home));
    click(box(confirm, "chkSave", 3));
    click(child<QRadioButton>(confirm, QStringLiteral("Option2")));
    clickButton(confirm, "Command1");
    QCOMPARE(Ask::records().size(), 2);
    QCOMPARE(Ask::records()[0].text, QStringLiteral("No printer is available while printing Letter"));
    QCOMPARE(Ask::records()[1].text, QStringLiteral("No printer is available while printing Invoice"));
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("temprtf.rtf")));
}

void TestConfirmForm::closeClearsValuesAndRebuilds()
{
    TestHome home;
    MainForm *main = startWithModel(m_workspace, home);
    setEntryText(main, 1, QStringLiteral("Ann"));
    setEntryText(main, 3, QStringLiteral("555"));
    QWidget *confirm = openConfirm(main);
    click(box(confirm, "chkPrint", 1));
    clickButton(confirm, "Command2");
    QTRY_VERIFY(!topWindow("ConfirmForm"));
    QVERIFY(main->isVisible());
    QCOMPARE(entryText(main, 1), QString());
    QCOMPARE(entryText(main, 3), QString());
    QTRY_VERIFY(child<QLineEdit>(main, QStringLiteral("txtWord_1"))->hasFocus());
    confirm = openConfirm(main);
    QVERIFY(box(confirm, "chkPrint", 1)->isChecked());
}

void TestConfirmForm::enterInLastBoxActsAsOk()
{
    TestHome home;
    MainForm *main = startWithModel(m_workspace, home);
    QLineEdit *last = child<QLineEdit>(main, QStringLiteral("txtWord_3"));
    last->setFocus();
    QTest::keyClick(last, Qt::Key_Return);
    QTRY_VERIFY(topWindow("ConfirmForm"));
    QVERIFY(!main->isVisible());
}

void TestConfirmForm::closeAndOkIgnoredDuringRun()
{
    TestHome home;
    MainForm *main = startWithModel(m_workspace, home);
    setEntryText(main, 1, QStringLiteral("Ann"));
    auto *confirm = qobject_cast<ConfirmForm *>(openConfirm(main));
    click(box(confirm, "chkPrint", 1));
    click(box(confirm, "chkPrint", 2));
    click(box(confirm, "chkSave", 1));
    click(box(confirm, "chkSave", 3));
    child<QLineEdit>(confirm, QStringLiteral("txtSaveName"))->setText(QStringLiteral("S"));
    // Runs while the fill lets events through (it shows the wait window);
    // a run shows itself by its disabled OK button.
    bool duringRun = false;
    QTimer::singleShot(0, confirm, [&] {
        duringRun = !child<QPushButton>(confirm, QStringLiteral("Command1"))->isEnabled();
        clickButton(confirm, "Command2");
        confirm->close();
        clickButton(confirm, "Command1");
    });
    clickButton(confirm, "Command1");
    QVERIFY(duringRun);
    QVERIFY(confirm->isVisible());
    QVERIFY(!main->isVisible());
    QCOMPARE(entryText(main, 1), QStringLiteral("Ann"));
    QVERIFY(Ask::records().isEmpty());
    QCOMPARE(readFile(home.documents() + QStringLiteral("S-Letter.rtf")), QByteArray("{\\rtf1 Dear Ann of \\par}"));
}

QTEST_MAIN(TestConfirmForm)
#include "tst_confirmform.moc"
