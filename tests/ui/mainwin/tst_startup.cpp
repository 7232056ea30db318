#include "ui/menu/modelcommands.h"
#include "core/workspace.h"
#include "ui/dialogs/dialogwait.h"
#include "ui/dialogs/modelmessages.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>


namespace {
const QByteArray kThreeFields = " 3 \r\nName\r\nCity\r\nPhone\r\n 0 \r\n 0 \r\n";

// Runs `during` once the selection window is up, while the command waits.
void whileSelecting(const std::function<void(QWidget *)> &during)
{
    QTimer::singleShot(0, [during] {
        QWidget *w = topWindow("SelectForm");
        QVERIFY(w);
        during(w);
    });
}

void clickButton(QWidget *w, const char *name)
{
    QTest::mouseClick(child<QPushButton>(w, QLatin1String(name)), Qt::LeftButton);
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }

    void firstStartWithoutFiles();
    void firstStartLoadsSampleModel();
    void startsWithLastModelOfSettings();
    void truncatedModelReportsAndKeepsPreviousModel();
    void versionText();
    void selectWithNoModels();
    void selectOkWithNothingSelected();
    void selectByDoubleClick();
    void selectCancelAndCloseBox();
    void selectDeletedModelKeepsLists();
    void nestedWaitReturnsAtOnce();
    void modelPathRefusesBadInput();
    void modelPathMovesFolderAndCopiesSamples();
    void modelPathSameFolderWritesNothing();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestStartup::firstStartWithoutFiles()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    QCOMPARE(m_workspace.ModelName, QStringLiteral("Sample Model"));
    QCOMPARE(m_workspace.ModelFolder, home.appFolder());
    QCOMPARE(m_workspace.AppFolder, home.appFolder());
    QCOMPARE(main->rowCount(), 0);
    QVERIFY(main->isVisible());
    QVERIFY(Ask::records().isEmpty());
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("qlt.ini")));
}

void TestStartup::firstStartLoadsSampleModel()
{
    TestHome home;
    QVERIFY(TestHome::copyData(QStringLiteral("Sample Model.mod"), home.appFolder()));
    MainForm *main = startProgram(m_workspace);
    QCOMPARE(main->rowCount(), 5);
    QCOMPARE(child<QLabel>(main, QStringLiteral("lblWord_1"))->text(), QStringLiteral("First Name"));
    QCOMPARE(child<QLabel>(main, QStringLiteral("lblModel"))->text(), QStringLiteral("Sample Model"));
    QTRY_VERIFY(child<QLineEdit>(main, QStringLiteral("txtWord_1"))->hasFocus());
    // Loading a model makes it the one opened next time.
    QVERIFY(readFile(home.appFolder() + QStringLiteral("qlt.ini")).startsWith("Sample Model\r\n"));
}

void TestStartup::startsWithLastModelOfSettings()
{
    TestHome home;
    const QString folder = home.path() + QStringLiteral("models/");
    writeFile(folder + QStringLiteral("Orders.mod"), kThreeFields);
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), "Orders\r\n" + folder.toUtf8() + "\r\n0\r\n");
    MainForm *main = startProgram(m_workspace);
    QCOMPARE(m_workspace.ModelFolder, folder);
    QCOMPARE(main->rowCount(), 3);
    QCOMPARE(child<QLabel>(main, QStringLiteral("lblWord_3"))->text(), QStringLiteral("Phone"));
}

void TestStartup::truncatedModelReportsAndKeepsPreviousModel()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Orders.mod"), kThreeFields);
    writeFile(home.appFolder() + QStringLiteral("Broken.mod"), " 3 \r\nOne\r\nTwo\r\n");
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), "Orders\r\n0\r\n");
    MainForm *main = startProgram(m_workspace);
    const ModelLists before = m_workspace;
    const QByteArray settings = readFile(home.appFolder() + QStringLiteral("qlt.ini"));
    QCOMPARE(before.FieldCount(), qint16(3));
    QVERIFY(!loadModelTellingUser(m_workspace, QStringLiteral("Broken")));
    QCOMPARE(Ask::records().size(), 1);
    QCOMPARE(lastTitle(), QStringLiteral("A problem has occurred."));
    QCOMPARE(lastMessage(), QStringLiteral("Input past end of file while loading model.\r\nUnable to load complete model."));
    QCOMPARE(static_cast<const ModelLists &>(m_workspace), before);
    QCOMPARE(main->rowCount(), 3);
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("qlt.ini")), settings);
}

void TestStartup::versionText()
{
    TestHome home;
    startProgram(m_workspace);
    QCOMPARE(m_workspace.VersionText, QStringLiteral("4.0.0"));
    QCOMPARE(QLTBas::versionText(2, 0, 15), QStringLiteral("2.0.15"));
    QCOMPARE(m_workspace.UninstallerFolder, home.path() + QStringLiteral(".local/bin/"));
}

void TestStartup::selectWithNoModels()
{
    TestHome home;
    startProgram(m_workspace);
    SelectModelCommand(m_workspace);
    QCOMPARE(lastMessage(), QStringLiteral("You have not yet created any models to edit."));
    QCOMPARE(lastTitle(), QStringLiteral("Error"));
    QVERIFY(!topWindow("SelectForm"));
}

void TestStartup::selectOkWithNothingSelected()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Orders.mod"), kThreeFields);
    startProgram(m_workspace);
    whileSelecting([](QWidget *w) {
        clickButton(w, "Command1");
        QCOMPARE(lastMessage(), QStringLiteral("You must select an item from the list box."));
        QVERIFY(w->isVisible());
        clickButton(w, "Command2");
    });
    SelectModelCommand(m_workspace);
    QCOMPARE(pickedModel(), QString());
    QCOMPARE(m_workspace.ModelName, QStringLiteral("Sample Model"));
}

void TestStartup::selectByDoubleClick()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Orders.mod"), kThreeFields);
    TestHome::copyData(QStringLiteral("Sample Model.mod"), home.appFolder());
    MainForm *main = startProgram(m_workspace);
    setEntryText(main, 1, QStringLiteral("typed before"));
    whileSelecting([](QWidget *w) {
        auto *list = child<QListWidget>(w, QStringLiteral("List1"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(child<QLabel>(w, QStringLiteral("Label1"))->text(), QStringLiteral("Select model to load"));
        QListWidgetItem *orders = list->findItems(QStringLiteral("Orders"), Qt::MatchExactly).first();
        const QPoint at = list->visualItemRect(orders).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    });
    SelectModelCommand(m_workspace);
    QCOMPARE(m_workspace.ModelName, QStringLiteral("Orders"));
    QCOMPARE(main->rowCount(), 3);
    QCOMPARE(entryText(main, 1), QString());
    QVERIFY(main->isVisible());
    QVERIFY(readFile(home.appFolder() + QStringLiteral("qlt.ini")).startsWith("Orders\r\n"));
}

void TestStartup::selectCancelAndCloseBox()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Orders.mod"), kThreeFields);
    TestHome::copyData(QStringLiteral("Sample Model.mod"), home.appFolder());
    MainForm *main = startProgram(m_workspace);
    for (const bool closeBox : {false, true}) {
        main->hide();
        whileSelecting([closeBox](QWidget *w) {
            auto *list = child<QListWidget>(w, QStringLiteral("List1"));
            list->setCurrentRow(0);
            if (closeBox)
                w->close();
            else
                clickButton(w, "Command2");
        });
        SelectModelCommand(m_workspace);
        QCOMPARE(pickedModel(), QString());
        QCOMPARE(m_workspace.ModelName, QStringLiteral("Sample Model"));
        QCOMPARE(main->rowCount(), 5);
        QVERIFY(main->isVisible());
    }
}

void TestStartup::selectDeletedModelKeepsLists()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Gone.mod"), kThreeFields);
    TestHome::copyData(QStringLiteral("Sample Model.mod"), home.appFolder());
    MainForm *main = startProgram(m_workspace);
    whileSelecting([&home](QWidget *w) {
        QFile::remove(home.appFolder() + QStringLiteral("Gone.mod"));
        auto *list = child<QListWidget>(w, QStringLiteral("List1"));
        list->setCurrentRow(0);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Gone"));
        clickButton(w, "Command1");
    });
    SelectModelCommand(m_workspace);
    QCOMPARE(m_workspace.ModelName, QStringLiteral("Gone"));
    QCOMPARE(m_workspace.FieldNames.first(), QStringLiteral("First Name"));
    QCOMPARE(child<QLabel>(main, QStringLiteral("lblModel"))->text(), QStringLiteral("Sample Model"));
    QVERIFY(Ask::records().isEmpty());
}

void TestStartup::nestedWaitReturnsAtOnce()
{
    TestHome home;
    startProgram(m_workspace);
    bool nestedReturned = false;
    QTimer::singleShot(0, [&] {
        WaitForDialog(); // a second wait while the first still runs
        nestedReturned = true;
        SetDialogDone();
    });
    WaitForDialog();
    QVERIFY(nestedReturned);
    // The done mark of that wait is not taken for the next one's.
    bool markedLater = false;
    QTimer::singleShot(0, [&] {
        markedLater = true;
        SetDialogDone();
    });
    WaitForDialog();
    QVERIFY(markedLater);
}

void TestStartup::modelPathRefusesBadInput()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    SetModelLocationPathCommand(m_workspace);
    QWidget *form = topWindow("ModelPathForm");
    QVERIFY(form);
    QVERIFY(!main->isVisible());
    auto *text = child<QLineEdit>(form, QStringLiteral("Text1"));
    QCOMPARE(text->text(), home.appFolder());

    text->clear();
    clickButton(form, "Command1");
    QCOMPARE(lastMessage(), QStringLiteral("You must select a path for the model files."));
    text->setText(QStringLiteral("models"));
    clickButton(form, "Command1");
    QCOMPARE(lastMessage(), QStringLiteral("Path is not in recognized format.\r\nPath shoudl contain \\ or /."));
    text->setText(home.path() + QStringLiteral("missing"));
    clickButton(form, "Command1");
    QVERIFY(lastMessage().contains(QStringLiteral("does not exist")));
    QVERIFY(form->isVisible());
    QCOMPARE(m_workspace.ModelFolder, home.appFolder());
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("qlt.ini")));

    form->close();
    QTRY_VERIFY(main->isVisible());
}

void TestStartup::modelPathMovesFolderAndCopiesSamples()
{
    TestHome home;
    TestHome::copyData(QStringLiteral("Sample Model.mod"), home.appFolder());
    TestHome::copyData(QStringLiteral("Sample Doc.rtf"), home.appFolder());
    MainForm *main = startProgram(m_workspace);
    const QString target = home.path() + QStringLiteral("models");
    QDir().mkpath(target);
    SetModelLocationPathCommand(m_workspace);
    QWidget *form = topWindow("ModelPathForm");
    auto *text = child<QLineEdit>(form, QStringLiteral("Text1"));
    text->selectAll();
    QTest::keyClicks(text, target);
    QTest::keyClick(text, Qt::Key_Return);
    QTRY_VERIFY(!topWindow("ModelPathForm"));
    QVERIFY(main->isVisible());
    QCOMPARE(m_workspace.ModelFolder, target + QLatin1Char('/'));
    QVERIFY(QFileInfo::exists(target + QStringLiteral("/Sample Doc.rtf")));
    QVERIFY(QFileInfo::exists(target + QStringLiteral("/Sample Model.mod")));
    QVERIFY(readFile(home.appFolder() + QStringLiteral("qlt.ini")).contains(target.toUtf8() + "/\r\n"));
    // The model in memory stays as it is.
    QCOMPARE(m_workspace.FieldCount(), qint16(5));
}

void TestStartup::modelPathSameFolderWritesNothing()
{
    TestHome home;
    startProgram(m_workspace);
    SetModelLocationPathCommand(m_workspace);
    QWidget *form = topWindow("ModelPathForm");
    clickButton(form, "Command1");
    QTRY_VERIFY(!topWindow("ModelPathForm"));
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("qlt.ini")));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
