#include "remove/removeforms.h"
#include "setup/setupforms.h"
#include "tests/support/guihelpers.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

class TestSetupForms : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void informationWindowChoices_data();
    void informationWindowChoices();
    void waitWindows();
    void fallbackQuestionAndMessages();
};

void TestSetupForms::informationWindowChoices_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<bool>("install");
    QTest::newRow("Install") << 0 << true;
    QTest::newRow("Cancel") << 1 << false;
    QTest::newRow("closed from the frame") << 2 << false;
}

void TestSetupForms::informationWindowChoices()
{
    QFETCH(int, how);
    QFETCH(bool, install);
    QTimer::singleShot(0, [how] {
        QWidget *form = topWindow("HelpForm");
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Quillmate Information"));
        QCOMPARE(child<QPlainTextEdit>(form, QStringLiteral("Text1"))->toPlainText(), QStringLiteral("About it"));
        QVERIFY(!(form->windowFlags() & Qt::WindowCloseButtonHint));
        if (how == 2)
            form->close();
        else
            QTest::mouseClick(child<QPushButton>(form, how == 0 ? QStringLiteral("Command1") : QStringLiteral("Command2")),
                              Qt::LeftButton);
    });
    SetupWindows windows;
    QCOMPARE(windows.showSetupInformation(QStringLiteral("About it")), install);
    QTRY_VERIFY(!topWindow("HelpForm"));
}

void TestSetupForms::waitWindows()
{
    SetupWindows setup;
    setup.showWait();
    QWidget *wait = topWindow("WaitForm");
    QVERIFY(wait);
    QVERIFY(wait->windowFlags() & Qt::FramelessWindowHint);
    setup.setWaitCaption(QStringLiteral("Installing Quillmate"));
    setup.setDots(QStringLiteral(" . ."));
    QCOMPARE(child<QLabel>(wait, QStringLiteral("Label2"))->text(), QStringLiteral("Please Wait"));
    QCOMPARE(child<QLabel>(wait, QStringLiteral("Label1"))->text(), QStringLiteral("Installing Quillmate"));
    QCOMPARE(child<QLabel>(wait, QStringLiteral("lblDots"))->text(), QStringLiteral(" . ."));
    setup.closeWait();
    QVERIFY(!topWindow("WaitForm"));

    RemoveWindows remove;
    remove.showWait();
    wait = topWindow("WaitForm");
    QVERIFY(wait);
    // On the screen when showWait returns, not after the mapping that follows.
    QVERIFY(wait->windowHandle() && wait->windowHandle()->isExposed());
    QCOMPARE(child<QLabel>(wait, QStringLiteral("DoingWhat"))->text(), QString(19, QLatin1Char('-')));
    remove.setDoingWhat(QStringLiteral("Killing links."));
    QCOMPARE(child<QLabel>(wait, QStringLiteral("DoingWhat"))->text(), QStringLiteral("Killing links."));
}

void TestSetupForms::fallbackQuestionAndMessages()
{
    SetupWindows setup;
    Ask::clearRecords();
    Ask::pushAnswer(Ask::Yes);
    QVERIFY(setup.askToContinue(QStringLiteral("Go on?"), QStringLiteral("Preparing to install Quillmate")));
    QCOMPARE(Ask::records().last().icon, Ask::Information);
    QCOMPARE(Ask::records().last().buttons, Ask::YesNo);
    RemoveWindows remove;
    Ask::pushAnswer(Ask::No);
    QVERIFY(!remove.confirm(QStringLiteral("Sure?"), QStringLiteral("*** WARNING ***")));
    QCOMPARE(Ask::records().last().icon, Ask::Question);
}

QTEST_MAIN(TestSetupForms)
#include "tst_setupforms.moc"
