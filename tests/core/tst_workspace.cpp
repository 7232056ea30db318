#include "core/workspace.h"
#include "core/modelstore.h"
#include "tests/support/testhome.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

// The workspace alone: values, their signals, a fresh start.
class TestWorkspace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valuesAndSignals();
    void resetEmptiesEverything();
    void startupFoldersFollowHome();
    void modelReadIsAnnounced();
    void dataSetsRoundTrip_data();
    void dataSetsRoundTrip();
    void missingDataSetChangesNothing();
    void modelStoreLoads_data();
    void modelStoreLoads();
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
    workspace.Operation = WorkspaceData::DataOperation::Load;
    workspace.setValue(1, QStringLiteral("Ann"));
    workspace.reset();
    QVERIFY(workspace.FieldNames.isEmpty());
    QVERIFY(workspace.ModelName.isEmpty());
    QCOMPARE(workspace.Operation, WorkspaceData::DataOperation::None);
    QVERIFY(workspace.values().isEmpty());
}

void TestWorkspace::startupFoldersFollowHome()
{
    TestHome home;
    Workspace workspace;
    workspace.findStartupFolders();
    QCOMPARE(workspace.AppFolder, home.path() + QStringLiteral("Quillmate/"));
    QCOMPARE(workspace.UninstallerFolder, home.path() + QStringLiteral(".local/bin/"));
    QVERIFY(!workspace.VersionText.isEmpty());
}

void TestWorkspace::modelReadIsAnnounced()
{
    Workspace workspace;
    QSignalSpy changed(&workspace, &Workspace::modelChanged);
    ModelLists model;
    model.FieldNames = {QStringLiteral("Name"), QStringLiteral("City")};
    model.DocNames = {QStringLiteral("Letter")};
    workspace.setModel(model);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(static_cast<const ModelLists &>(workspace), model);
}

// Values saved under a tag come back into the same fields; lines beyond the
// model's fields are ignored, fields beyond the lines keep their values.
void TestWorkspace::dataSetsRoundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("loaded");
    QTest::newRow("as many lines as fields") << QByteArray("Ann\r\n\r\n555\r\n")
                                             << QStringList{QStringLiteral("Ann"), QString(), QStringLiteral("555")};
    QTest::newRow("more lines") << QByteArray("a\r\nb\r\nc\r\nd\r\n")
                                << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("fewer lines")
        << QByteArray("first\r\n") << QStringList{QStringLiteral("first"), QStringLiteral("old 2"), QStringLiteral("old 3")};
}

void TestWorkspace::dataSetsRoundTrip()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, loaded);
    TestHome home;
    Workspace workspace;
    workspace.ModelFolder = home.path();
    workspace.ModelName = QStringLiteral("Jobs");
    workspace.FieldNames = {QStringLiteral("Name"), QStringLiteral("City"), QStringLiteral("Phone")};
    QCOMPARE(workspace.dataFolder(), home.path() + QStringLiteral("Jobs/"));
    workspace.setValue(1, QStringLiteral("Ann"));
    workspace.setValue(3, QStringLiteral("555"));
    workspace.DataTag = QStringLiteral("Smith");
    const Status saved = workspace.saveDataSet();
    QVERIFY2(saved, qPrintable(saved.error()));
    QCOMPARE(readFile(workspace.dataFolder() + QStringLiteral("Smith")), QByteArray("Ann\r\n\r\n555\r\n"));

    writeFile(workspace.dataFolder() + QStringLiteral("Other"), file);
    workspace.setValue(1, QStringLiteral("old 1"));
    workspace.setValue(2, QStringLiteral("old 2"));
    workspace.setValue(3, QStringLiteral("old 3"));
    workspace.DataTag = QStringLiteral("Other");
    QSignalSpy changed(&workspace, &Workspace::valueChanged);
    const Status read = workspace.loadDataSet();
    QVERIFY2(read, qPrintable(read.error()));
    QCOMPARE(workspace.values(), loaded);
    QVERIFY(!changed.isEmpty());
}

void TestWorkspace::missingDataSetChangesNothing()
{
    TestHome home;
    Workspace workspace;
    workspace.ModelFolder = home.path();
    workspace.ModelName = QStringLiteral("Jobs");
    workspace.FieldNames = {QStringLiteral("Name")};
    workspace.setValue(1, QStringLiteral("kept"));
    workspace.DataTag = QStringLiteral("Nobody");
    QCOMPARE(workspace.loadDataSet().error(), QStringLiteral("No data exists with that identifier."));
    QCOMPARE(workspace.values(), QStringList{QStringLiteral("kept")});
    QVERIFY(QFileInfo(workspace.dataFolder()).isDir()); // made when missing, as the window always did
}

// Loading a model answers the message the user sees instead of showing it;
// only a model read whole is recorded in the settings.
void TestWorkspace::modelStoreLoads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file"); // written as Jobs.mod in the model folder; null for none
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("recorded");
    const QString jobs = QStringLiteral("Jobs");
    QTest::newRow("whole model") << jobs << QByteArray(" 1 \r\nName\r\n 0 \r\n 1 \r\nBook.xls\r\n 2 \r\n") << QString()
                                 << QStringList{QStringLiteral("Name")} << true;
    QTest::newRow("cut short") << jobs << QByteArray(" 2 \r\nOne\r\n")
                               << QStringLiteral("Input past end of file while loading model.\r\nUnable to load complete model.")
                               << QStringList{QStringLiteral("Old")} << false;
    QTest::newRow("no such model") << jobs << QByteArray() << QString() << QStringList{QStringLiteral("Old")} << false;
    QTest::newRow("name leading out") << QStringLiteral("../Quillmate/Jobs") << QByteArray(" 1 \r\nName\r\n 0 \r\n 0 \r\n")
                                      << QString() << QStringList{QStringLiteral("Old")} << false;
}

void TestWorkspace::modelStoreLoads()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    QFETCH(QStringList, fields);
    QFETCH(bool, recorded);
    TestHome home;
    Workspace workspace;
    workspace.AppFolder = workspace.ModelFolder = home.appFolder();
    workspace.FieldNames = {QStringLiteral("Old")};
    if (!file.isNull())
        writeFile(home.appFolder() + QStringLiteral("Jobs.mod"), file);
    const Status loaded = ModelStore::loadModel(workspace, name);
    QCOMPARE(loaded.ok(), error.isEmpty());
    QCOMPARE(loaded.error(), error);
    QCOMPARE(workspace.FieldNames, fields);
    QCOMPARE(QFileInfo::exists(home.appFolder() + QStringLiteral("qlt.ini")), recorded);
    if (recorded) // a spreadsheet named without a folder is the model folder's
        QCOMPARE(workspace.SheetPaths, QStringList{home.appFolder() + QStringLiteral("Book.xls")});
}

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_workspace.moc"
