#include "core/workspace.h"
#include "tests/support/testhome.h"

#include <QSignalSpy>
#include <QTest>

// The workspace alone: values, their signals, a fresh start.
class TestWorkspace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valuesAndSignals();
    void resetEmptiesEverything();
    void startupFoldersFollowHome();
};

void TestWorkspace::valuesAndSignals()
{
    Workspace workspace;
    QSignalSpy changed(&workspace, &Workspace::valueChanged);
    QSignalSpy cleared(&workspace, &Workspace::valuesCleared);
    workspace.setValue(3, QStringLiteral("Rome"));
    QCOMPARE(workspace.value(3), QStringLiteral("Rome"));
    QCOMPARE(workspace.value(1), QString());
    QCOMPARE(workspace.value(4), QString());
    QCOMPARE(workspace.values(), (QStringList{QString(), QString(), QStringLiteral("Rome")}));
    workspace.setValue(3, QStringLiteral("Rome")); // no change, no signal
    workspace.setValue(0, QStringLiteral("none")); // no field 0
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toInt(), 3);
    workspace.clearValues();
    QCOMPARE(cleared.count(), 1);
    QVERIFY(workspace.values().isEmpty());
}

void TestWorkspace::resetEmptiesEverything()
{
    Workspace workspace;
    workspace.FieldNames = {QStringLiteral("Name")};
    workspace.ModelName = QStringLiteral("Jobs");
    workspace.Editing = WorkspaceData::EditMode::Documents;
    workspace.setValue(1, QStringLiteral("Ann"));
    workspace.reset();
    QVERIFY(workspace.FieldNames.isEmpty());
    QVERIFY(workspace.ModelName.isEmpty());
    QCOMPARE(workspace.Editing, WorkspaceData::EditMode::None);
    QVERIFY(workspace.values().isEmpty());
}

void TestWorkspace::startupFoldersFollowHome()
{
    TestHome home;
    Workspace workspace;
    workspace.makeCurrent();
    workspace.findStartupFolders();
    QCOMPARE(&Workspace::current(), &workspace);
    QCOMPARE(workspace.AppFolder, home.path() + QStringLiteral("Quillmate/"));
    QCOMPARE(workspace.UninstallerFolder, home.path() + QStringLiteral(".local/bin/"));
    QVERIFY(!workspace.VersionText.isEmpty());
}

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_workspace.moc"
