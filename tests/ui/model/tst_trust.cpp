#include "ui/editor/modelform.h"
#include "core/workspace.h"
#include "ui/model/identifierform.h"
#include "ui/menu/modelcommands.h"
#include "core/modelstore.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>


namespace {
const QByteArray kTwoFields = " 2 \r\nName\r\nCity\r\n 0 \r\n 0 \r\n";

// Runs the program from another current folder, as a desktop launcher or a
// terminal elsewhere would, and goes back afterwards.
class ElsewhereCurrentFolder {
public:
    explicit ElsewhereCurrentFolder(const QString &folder) : m_old(QDir::currentPath())
    {
        QDir().mkpath(folder);
        QDir::setCurrent(folder);
    }
    ~ElsewhereCurrentFolder() { QDir::setCurrent(m_old); }

private:
    QString m_old;
};

QStringList filesUnder(const QString &folder)
{
    QStringList out;
    QDir dir(folder);
    for (const QFileInfo &fi : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        out << (fi.isDir() ? fi.fileName() + QLatin1Char('/') : fi.fileName());
    return out;
}
} // namespace

class TestTrust : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }

    void handEditedModelNameIsNoModel_data();
    void handEditedModelNameIsNoModel();
    void upperCaseModelLoadsAndSavesInPlace();
    void relativeFolderInSettingsIsFromHome_data();
    void relativeFolderInSettingsIsFromHome();
    void relativeSheetPathIsFromModelFolder();
    void typedRelativeFolderIsStoredAbsolute();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestTrust::handEditedModelNameIsNoModel_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("parent") << QByteArray("../x");
    QTest::newRow("deeper") << QByteArray("../../x");
    QTest::newRow("backslash") << QByteArray("..\\x");
    QTest::newRow("dot dot") << QByteArray("..");
    QTest::newRow("tab") << QByteArray("a\tb");
}

void TestTrust::handEditedModelNameIsNoModel()
{
    QFETCH(QByteArray, name);
    TestHome home;
    // The model file a path built from the name would reach.
    writeFile(home.path() + QStringLiteral("x.mod"), kTwoFields);
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), name + "\r\n0\r\n");
    const QStringList homeBefore = filesUnder(home.path());
    startProgram(m_workspace);
    QCOMPARE(m_workspace.ModelName, QString());
    QCOMPARE(m_workspace.FieldCount(), qint16(0));

    SaveDataCommand(m_workspace);
    QVERIFY(lastMessage().startsWith(QStringLiteral("You have not selected a model to work with.")));
    QVERIFY(!topWindow("IdentifierForm"));
    LoadDataCommand(m_workspace);
    QVERIFY(!topWindow("IdentifierForm"));
    QCOMPARE(filesUnder(home.path()), homeBefore); // no data folder anywhere
    QVERIFY(!ModelStore::saveModel(m_workspace).ok());
    QCOMPARE(filesUnder(home.path()), homeBefore);
}

void TestTrust::upperCaseModelLoadsAndSavesInPlace()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Foo.MOD"), kTwoFields);
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), "Nothing\r\n0\r\n");
    startProgram(m_workspace);
    QTimer::singleShot(0, [] {
        QWidget *select = topWindow("SelectForm");
        QVERIFY(select);
        auto *list = child<QListWidget>(select, QStringLiteral("List1"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Foo"));
        list->setCurrentRow(0);
        QTest::mouseClick(child<QPushButton>(select, QStringLiteral("Command1")), Qt::LeftButton);
    });
    SelectModelCommand(m_workspace);
    QCOMPARE(m_workspace.ModelName, QStringLiteral("Foo"));
    QCOMPARE(m_workspace.FieldNames, (QStringList{QStringLiteral("Name"), QStringLiteral("City")}));

    m_workspace.FieldNames.append(QStringLiteral("Phone"));
    QVERIFY(ModelStore::saveModel(m_workspace).ok());
    QCOMPARE(QDir(home.appFolder()).entryList({QStringLiteral("*.mod")}, QDir::Files, QDir::Name),
             QStringList{QStringLiteral("Foo.MOD")});
    QVERIFY(readFile(home.appFolder() + QStringLiteral("Foo.MOD")).contains("Phone"));
}

void TestTrust::relativeFolderInSettingsIsFromHome_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("relative") << QByteArray("models/");
    QTest::newRow("dot") << QByteArray("./models/");
    QTest::newRow("without separator") << QByteArray("models");
}

void TestTrust::relativeFolderInSettingsIsFromHome()
{
    QFETCH(QByteArray, folder);
    TestHome home;
    writeFile(home.path() + QStringLiteral("models/Orders.mod"), kTwoFields);
    // The same relative folder under the current folder holds another model.
    writeFile(home.path() + QStringLiteral("elsewhere/models/Orders.mod"), " 1 \r\nWrong\r\n 0 \r\n 0 \r\n");
    writeFile(home.appFolder() + QStringLiteral("qlt.ini"), "Orders\r\n" + folder + "\r\n");
    ElsewhereCurrentFolder cwd(home.path() + QStringLiteral("elsewhere"));
    startProgram(m_workspace);
    QCOMPARE(m_workspace.ModelFolder, home.path() + QStringLiteral("models/"));
    QCOMPARE(m_workspace.FieldNames, (QStringList{QStringLiteral("Name"), QStringLiteral("City")}));
    // Written back absolute, so the next start does not depend on it either.
    QVERIFY(readFile(home.appFolder() + QStringLiteral("qlt.ini"))
                .startsWith("Orders\r\n" + home.path().toUtf8() + "models/\r\n"));
}

void TestTrust::relativeSheetPathIsFromModelFolder()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"),
              " 0 \r\n 0 \r\n 2 \r\nBook.xls\r\n 1 \r\nsub/../Other.xls\r\n 2 \r\n");
    ElsewhereCurrentFolder cwd(home.path() + QStringLiteral("elsewhere"));
    writeFile(home.path() + QStringLiteral("elsewhere/Book.xls"), "not this one");
    startProgram(m_workspace);
    QCOMPARE(m_workspace.SheetPaths,
             (QStringList{home.appFolder() + QStringLiteral("Book.xls"), home.appFolder() + QStringLiteral("Other.xls")}));
    QCOMPARE(m_workspace.SheetNumbers, (QList<qint16>{1, 2}));
}

void TestTrust::typedRelativeFolderIsStoredAbsolute()
{
    TestHome home;
    ElsewhereCurrentFolder cwd(home.path() + QStringLiteral("elsewhere"));
    QDir().mkpath(home.path() + QStringLiteral("mine/models"));
    QDir().mkpath(home.path() + QStringLiteral("elsewhere/mine/models"));
    startProgram(m_workspace);
    SetModelLocationPathCommand(m_workspace);
    QWidget *form = topWindow("ModelPathForm");
    QVERIFY(form);
    auto *text = child<QLineEdit>(form, QStringLiteral("Text1"));
    text->setFocus();
    text->selectAll();
    QTest::keyClicks(text, QStringLiteral("mine/models"));
    QTest::keyClick(text, Qt::Key_Return);
    QTRY_VERIFY(!topWindow("ModelPathForm"));
    QCOMPARE(m_workspace.ModelFolder, home.path() + QStringLiteral("mine/models/"));
    QVERIFY(readFile(home.appFolder() + QStringLiteral("qlt.ini")).contains("\r\n" + home.path().toUtf8() + "mine/models/\r\n"));
}

QTEST_MAIN(TestTrust)
#include "tst_trust.moc"
