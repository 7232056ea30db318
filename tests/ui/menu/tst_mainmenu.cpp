#include "ui/menu/modelcommands.h"
#include "platform/process.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {
struct Item {
    const char *name;
    const char *caption;
};

QStringList describe(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << a->objectName() + QLatin1Char('=') + (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QStringList expected(std::initializer_list<Item> items)
{
    QStringList out;
    for (const Item &i : items)
        out << QLatin1String(i.name) + QLatin1Char('=') + QLatin1String(i.caption);
    return out;
}
} // namespace

class TestMainMenu : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup()
    {
        closeAllWindows();
        Platform::setStartHook({});
    }

    void menuTree();
    void uninstallNoKeepsRunning();
    void uninstallYesWithoutUninstaller();
    void uninstallYesStartsUninstaller();
    void exitEndsProgram();
    void exitWhileSelectingAModel();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestMainMenu::menuTree()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    QStringList top;
    for (QAction *a : main->menuBar()->actions())
        top << a->objectName() + QLatin1Char('=') + a->text();
    QCOMPARE(top, expected({{"mnuFiles", "&File"}, {"mnuConfigure", "&Configure"}, {"mnuHelp", "&Help"}}));

    QCOMPARE(describe(main->findChild<QMenu *>(QStringLiteral("mnuFiles"))),
             expected({{"mnuSaveData", "Sa&ve Data"}, {"mnuLoadData", "&Load Data"}, {"mnuFillFromList", "Fill From &List..."},
                       {"mnuDummyF5", "-"},
                       {"mnuSelectModel", "&Select Model"}, {"mnuDummyF3", "-"}, {"mnuCreateModel", "&Create Model"},
                       {"mnuEditExisitngModel", "&Edit Exisitng Model"}, {"mnuDummyF4", "-"},
                       {"mnuSetModelLocationPath", "Set Model Location &Path"}, {"mnuDummyF1", "-"},
                       {"mnuUninstallQuillmate", "&Uninstall Quillmate"}, {"mnuDummyF2", "-"}, {"mnuExit", "E&xit"}}));
    QCOMPARE(describe(main->findChild<QMenu *>(QStringLiteral("mnuConfigure"))),
             expected({{"mnuCompanyInfo", "&Company Info"}, {"mnuSavePdfCopies", "Save &PDF Copies"}}));
    QCOMPARE(describe(main->findChild<QMenu *>(QStringLiteral("mnuHelp"))),
             expected({{"mnuInstructions", "&Instructions"}, {"mnuDummyH1", "-"}, {"mnuAbout", "&About"}}));

    QVERIFY(!main->findChild<QAction *>(QStringLiteral("mnuCompanyInfo"))->isEnabled());
    int shortcuts = 0;
    for (QAction *a : main->findChildren<QAction *>())
        shortcuts += a->shortcut().isEmpty() ? 0 : 1;
    QCOMPARE(shortcuts, 1);
    QCOMPARE(main->findChild<QAction *>(QStringLiteral("mnuInstructions"))->shortcut(), QKeySequence(Qt::Key_F1));
}

void TestMainMenu::uninstallNoKeepsRunning()
{
    TestHome home;
    writeFile(home.path() + QStringLiteral(".local/bin/RemoveQLT"), "#!/bin/sh\n");
    QStringList started;
    Platform::setStartHook([&](const QString &p, const QStringList &) { started << p; return true; });
    MainForm *main = startProgram(m_workspace);
    const int ends = programEndCount();
    Ask::pushAnswer(Ask::No);
    main->findChild<QAction *>(QStringLiteral("mnuUninstallQuillmate"))->trigger();
    QCOMPARE(Ask::records().size(), 1);
    QCOMPARE(lastTitle(), QStringLiteral("WARNING!"));
    QCOMPARE(lastMessage(), QStringLiteral("This option completely removes Quillmate from your system. Are you sure you "
                                           "want to do this?"));
    QCOMPARE(Ask::records().last().buttons, Ask::YesNo);
    QCOMPARE(Ask::records().last().icon, Ask::Question);
    QVERIFY(main->isVisible());
    QCOMPARE(programEndCount(), ends);
    QVERIFY(started.isEmpty());
}

void TestMainMenu::uninstallYesWithoutUninstaller()
{
    TestHome home;
    QStringList started;
    Platform::setStartHook([&](const QString &p, const QStringList &) { started << p; return true; });
    MainForm *main = startProgram(m_workspace);
    const int ends = programEndCount();
    Ask::pushAnswer(Ask::Yes);
    main->findChild<QAction *>(QStringLiteral("mnuUninstallQuillmate"))->trigger();
    QCOMPARE(programEndCount(), ends + 1);
    QCOMPARE(Ask::records().size(), 1);
    QVERIFY(started.isEmpty());
    QTRY_VERIFY(!topWindow("MainForm"));
}

void TestMainMenu::uninstallYesStartsUninstaller()
{
    TestHome home;
    const QString uninstaller = home.path() + QStringLiteral(".local/bin/RemoveQLT");
    writeFile(uninstaller, "#!/bin/sh\n");
    QStringList started;
    Platform::setStartHook([&](const QString &p, const QStringList &) { started << p; return true; });
    MainForm *main = startProgram(m_workspace);
    Ask::pushAnswer(Ask::Yes);
    main->findChild<QAction *>(QStringLiteral("mnuUninstallQuillmate"))->trigger();
    QCOMPARE(started, QStringList{uninstaller});
    QTRY_VERIFY(!topWindow("MainForm"));
}

void TestMainMenu::exitEndsProgram()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    main->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    QVERIFY(topWindow("AboutBox"));
    const int ends = programEndCount();
    main->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
    QCOMPARE(programEndCount(), ends + 1);
    QTRY_VERIFY(!topWindow("MainForm"));
    QVERIFY(!topWindow("AboutBox"));
}

void TestMainMenu::exitWhileSelectingAModel()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Orders.mod"), " 0 \r\n 0 \r\n 0 \r\n");
    MainForm *main = startProgram(m_workspace);
    QTimer::singleShot(0, main, [main] {
        QVERIFY(topWindow("SelectForm"));
        main->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
    });
    const int ends = programEndCount();
    SelectModelCommand(m_workspace);
    QCOMPARE(programEndCount(), ends + 1);
    QTRY_VERIFY(!topWindow("MainForm"));
    QVERIFY(!topWindow("SelectForm"));
}

QTEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
