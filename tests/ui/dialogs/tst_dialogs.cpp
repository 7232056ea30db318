#include "ui/dialogs/aboutbox.h"
#include "ui/dialogs/helpform.h"
#include "core/help/sections.h"
#include "ui/dialogs/waitform.h"
#include "platform/process.h"
#include "platform/gui/screen.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kText = QStringLiteral("Intro\nEnd here too\nStart here\nbody\nEnd here\ntail\n");

QString helpText()
{
    QWidget *help = topWindow("HelpForm");
    return help ? child<QPlainTextEdit>(help, QStringLiteral("Text1"))->toPlainText() : QStringLiteral("<no window>");
}
} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup()
    {
        closeAllWindows();
        Platform::setStartHook({});
    }

    void cutSections_data();
    void cutSections();
    void shippedInstructionsHoldEveryTopic();
    void helpWindowIsReusedAndReplaced();
    void missingInstructionFileShowsFallback();
    void f1OpensInstructions();
    void aboutBoxShowsVersion();
    void makerLinkWithoutPointerFileDoesNothing();
    void makerLinkOpensBrowser();
    void centreNeverNegative();
    void waitFormShowsAction();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestDialogs::cutSections_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both markers") << QStringLiteral("Start here") << QStringLiteral("End here")
                                  << QStringLiteral("Start here\nbody\n");
    QTest::newRow("no start marker") << QString() << QStringLiteral("End here too")
                                     << QStringLiteral("Intro\n");
    QTest::newRow("to the end") << QStringLiteral("body") << QString() << QStringLiteral("body\nEnd here\ntail\n");
    QTest::newRow("missing start") << QStringLiteral("Nowhere") << QStringLiteral("Start here")
                                   << QStringLiteral("Intro\nEnd here too\n");
    QTest::newRow("missing end") << QStringLiteral("body") << QStringLiteral("Nowhere")
                                 << QStringLiteral("body\nEnd here\ntail\n");
    QTest::newRow("end only before start") << QStringLiteral("Start here") << QStringLiteral("Intro")
                                           << QStringLiteral("Start here\nbody\nEnd here\ntail\n");
    QTest::newRow("case matters") << QStringLiteral("start here") << QStringLiteral("end here") << kText;
}

void TestDialogs::cutSections()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, expected);
    QCOMPARE(Sections::cut(kText, start, end), expected);
}

void TestDialogs::shippedInstructionsHoldEveryTopic()
{
    const QString text = QString::fromUtf8(readFile(TestHome::dataPath(QStringLiteral("QLT.txt"))));
    const QList<QPair<QString, QString>> topics = {
        {QStringLiteral("Using Quillmate"), QString()},
        {QStringLiteral("     This screen allows you to create and edit models"), QStringLiteral("Editing existing models")},
        {QStringLiteral("This screen lists all documents and spreadsheets linked"), QStringLiteral("Creating Information Models")},
        {QStringLiteral("You can minimize this Fields box for now. Then, create the document "),
         QStringLiteral("You can then repeat the entire process to add more documents")},
        {QStringLiteral("Create either a row or a column of labels"), QStringLiteral("You can edit spreadsheets that you have already ")},
        {QStringLiteral("Saving Data"), QStringLiteral("Loading Data")},
        {QStringLiteral("Loading Data"), QStringLiteral("Uninstalling Quillmate")},
    };
    for (const auto &[start, end] : topics) {
        const QString section = Sections::cut(text, start, end);
        QVERIFY2(section.startsWith(start), qPrintable(start));
        QVERIFY2(section.size() > start.size() + 40, qPrintable(start)); // a real section, not just the heading
        if (!end.isEmpty())
            QVERIFY2(section.size() < text.size() - text.indexOf(start), qPrintable(end));
    }
}

void TestDialogs::helpWindowIsReusedAndReplaced()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("QLT.txt"), kText.toUtf8());
    startProgram(m_workspace);
    ShowInstructions(m_workspace, QStringLiteral("Start here"), QStringLiteral("End here"));
    QWidget *first = topWindow("HelpForm");
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), QStringLiteral("Quillmate Help"));
    QCOMPARE(helpText(), QStringLiteral("Start here\nbody\n"));
    QVERIFY(first->windowFlags() & Qt::WindowStaysOnTopHint);
    first->showMinimized();
    ShowInstructions(m_workspace, QStringLiteral("body"), QString());
    QCOMPARE(topWindow("HelpForm"), first);
    QVERIFY(!first->isMinimized());
    QCOMPARE(helpText(), QStringLiteral("body\nEnd here\ntail\n"));
    QTest::mouseClick(child<QPushButton>(first, QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_VERIFY(!topWindow("HelpForm"));
}

void TestDialogs::missingInstructionFileShowsFallback()
{
    TestHome home;
    startProgram(m_workspace);
    ShowInstructions(m_workspace, QStringLiteral("Saving Data"), QStringLiteral("Loading Data"));
    QCOMPARE(helpText(), QStringLiteral("*************  Unable to find instruction file.  *************"));
    QVERIFY(Ask::records().isEmpty());
}

void TestDialogs::f1OpensInstructions()
{
    TestHome home;
    TestHome::copyData(QStringLiteral("QLT.txt"), home.appFolder());
    MainForm *main = startProgram(m_workspace);
    main->activateWindow();
    QTRY_VERIFY(main->isActiveWindow());
    QTest::keyClick(main, Qt::Key_F1);
    QTRY_VERIFY(topWindow("HelpForm"));
    QVERIFY(helpText().startsWith(QStringLiteral("Using Quillmate")));
    QVERIFY(helpText().contains(QStringLiteral("Uninstalling Quillmate")));
}

void TestDialogs::aboutBoxShowsVersion()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    main->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    QWidget *about = topWindow("AboutBox");
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("About Quillmate"));
    QCOMPARE(child<QLabel>(about, QStringLiteral("Label1"))->text(), QStringLiteral("Quillmate"));
    QCOMPARE(child<QLabel>(about, QStringLiteral("Label5"))->text(), QStringLiteral("Version 4.0.0"));
    main->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    int abouts = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        abouts += w->objectName() == QStringLiteral("AboutBox") ? 1 : 0;
    QCOMPARE(abouts, 1);
    QVERIFY(!(about->windowFlags() & Qt::WindowCloseButtonHint));
}

void TestDialogs::makerLinkWithoutPointerFileDoesNothing()
{
    TestHome home;
    QStringList started;
    Platform::setStartHook([&](const QString &p, const QStringList &) { started << p; return true; });
    startProgram(m_workspace);
    AboutBox *about = AboutBox::instance(m_workspace);
    about->show();
    QTest::mouseClick(child<QLabel>(about, QStringLiteral("Label4")), Qt::LeftButton);
    QVERIFY(started.isEmpty());
    QVERIFY(Ask::records().isEmpty());
}

void TestDialogs::makerLinkOpensBrowser()
{
    if (Platform::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        QSKIP("no desktop opener on this machine");
    TestHome home;
    TestHome::copyData(QStringLiteral("Pointer.html"), home.appFolder());
    QStringList args;
    Platform::setStartHook([&](const QString &, const QStringList &a) { args = a; return true; });
    startProgram(m_workspace);
    AboutBox *about = AboutBox::instance(m_workspace);
    about->show();
    QTest::mouseClick(child<QLabel>(about, QStringLiteral("Label4")), Qt::LeftButton);
    QCOMPARE(args, QStringList{AboutBox::makerAddress()});
}

void TestDialogs::centreNeverNegative()
{
    QWidget big;
    const QSize screen = Screen::size();
    big.resize(screen.width() * 2, screen.height() * 2);
    Screen::centreForm(&big);
    QCOMPARE(big.pos(), QPoint(0, 0));
    QWidget small;
    small.resize(100, 60);
    Screen::centreForm(&small);
    QCOMPARE(small.pos(), QPoint((screen.width() - 100) / 2, (screen.height() - 60) / 2));
}

void TestDialogs::waitFormShowsAction()
{
    WaitForm *wait = WaitForm::instance();
    wait->setAction(QStringLiteral("Printing Letter"));
    wait->show();
    QCOMPARE(wait->windowTitle(), QStringLiteral("Wait"));
    QCOMPARE(child<QLabel>(wait, QStringLiteral("Label1"))->text(), QStringLiteral("Please Wait"));
    QCOMPARE(child<QLabel>(wait, QStringLiteral("lblAction"))->text(), QStringLiteral("Printing Letter"));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
