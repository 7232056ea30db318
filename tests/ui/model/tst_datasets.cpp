#include "ui/model/identifierform.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>


namespace {
MainForm *startWithThreeFields(Workspace &workspace, const TestHome &home)
{
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), " 3 \r\nName\r\nCity\r\nPhone\r\n 0 \r\n 0 \r\n");
    TestHome::copyData(QStringLiteral("QLT.txt"), home.appFolder());
    return startProgram(workspace);
}

QString dataFolder(const TestHome &home) { return home.appFolder() + QStringLiteral("Sample Model/"); }

QWidget *identifier() { return topWindow("IdentifierForm"); }
QLineEdit *tagBox() { return child<QLineEdit>(identifier(), QStringLiteral("Text1")); }
void press(const char *button) { QTest::mouseClick(child<QPushButton>(identifier(), QLatin1String(button)), Qt::LeftButton); }

void saveAs(Workspace &workspace, const QString &tag)
{
    SaveDataCommand(workspace);
    QVERIFY(identifier());
    tagBox()->setText(tag);
    press("Command1");
}

void loadTag(Workspace &workspace, const QString &tag)
{
    LoadDataCommand(workspace);
    QVERIFY(identifier());
    auto *list = child<QListWidget>(identifier(), QStringLiteral("List1"));
    const auto items = list->findItems(tag, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
    QCOMPARE(tagBox()->text(), tag);
    press("Command1");
}
} // namespace

class TestDataSets : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }

    void savesOneLinePerField();
    void loadsValuesBack();
    void longerAndShorterDataSets();
    void noModelMessages();
    void loadWithoutData();
    void loadingTagBoxIsReadOnly();
    void refusesUnusableTags_data();
    void refusesUnusableTags();
    void cancelAndHelp();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestDataSets::savesOneLinePerField()
{
    TestHome home;
    MainForm *main = startWithThreeFields(m_workspace, home);
    setEntryText(main, 1, QStringLiteral("Ann Smith"));
    setEntryText(main, 3, QStringLiteral("555"));
    saveAs(m_workspace, QStringLiteral("Smith"));
    QTRY_VERIFY(!identifier());
    QVERIFY(main->isVisible());
    QCOMPARE(readFile(dataFolder(home) + QStringLiteral("Smith")), QByteArray("Ann Smith\r\n\r\n555\r\n"));
    setEntryText(main, 2, QStringLiteral("Rome"));
    saveAs(m_workspace, QStringLiteral("Smith"));
    QCOMPARE(readFile(dataFolder(home) + QStringLiteral("Smith")), QByteArray("Ann Smith\r\nRome\r\n555\r\n"));
    QCOMPARE(QDir(dataFolder(home)).entryList(QDir::Files), QStringList{QStringLiteral("Smith")});
    QVERIFY(Ask::records().isEmpty());
}

void TestDataSets::loadsValuesBack()
{
    TestHome home;
    MainForm *main = startWithThreeFields(m_workspace, home);
    writeFile(dataFolder(home) + QStringLiteral("Jones"), "Bob\r\n\r\nx\r\n");
    setEntryText(main, 2, QStringLiteral("will be emptied"));
    loadTag(m_workspace, QStringLiteral("Jones"));
    QTRY_VERIFY(!identifier());
    QCOMPARE(entryText(main, 1), QStringLiteral("Bob"));
    QCOMPARE(entryText(main, 2), QString());
    QCOMPARE(entryText(main, 3), QStringLiteral("x"));
    QCOMPARE(m_workspace.DataTag, QStringLiteral("Jones"));
}

void TestDataSets::longerAndShorterDataSets()
{
    TestHome home;
    MainForm *main = startWithThreeFields(m_workspace, home);
    writeFile(dataFolder(home) + QStringLiteral("Long"), "a\r\nb\r\nc\r\nd\r\ne\r\n");
    writeFile(dataFolder(home) + QStringLiteral("Short"), "first\r\n");
    loadTag(m_workspace, QStringLiteral("Long"));
    QCOMPARE(entryText(main, 3), QStringLiteral("c"));
    loadTag(m_workspace, QStringLiteral("Short"));
    QCOMPARE(entryText(main, 1), QStringLiteral("first"));
    QCOMPARE(entryText(main, 2), QStringLiteral("b"));
    QCOMPARE(entryText(main, 3), QStringLiteral("c"));
}

void TestDataSets::noModelMessages()
{
    TestHome home;
    startProgram(m_workspace);
    m_workspace.ModelName.clear();
    SaveDataCommand(m_workspace);
    QCOMPARE(lastMessage(), QStringLiteral("You have not selected a model to work with.\r\nYou must select a model "
                                           "before you can save data."));
    LoadDataCommand(m_workspace);
    QCOMPARE(lastMessage(), QStringLiteral("You have not selected a model to work with.\r\nYou must select a model "
                                           "before you can load data."));
    QCOMPARE(lastTitle(), QStringLiteral("Error"));
    QVERIFY(!identifier());
}

void TestDataSets::loadWithoutData()
{
    TestHome home;
    startWithThreeFields(m_workspace, home);
    LoadDataCommand(m_workspace);
    QCOMPARE(lastMessage(), QStringLiteral("You have no data saved for this model."));
    QVERIFY(identifier());
    QVERIFY(QFileInfo(dataFolder(home)).isDir());
    QCOMPARE(child<QListWidget>(identifier(), QStringLiteral("List1"))->count(), 0);
    press("Command1");
    QCOMPARE(lastMessage(), QStringLiteral("You must input an identifier."));
    QVERIFY(identifier());
}

void TestDataSets::loadingTagBoxIsReadOnly()
{
    TestHome home;
    startWithThreeFields(m_workspace, home);
    writeFile(dataFolder(home) + QStringLiteral("Smith"), "x\r\n");
    LoadDataCommand(m_workspace);
    QCOMPARE(child<QLabel>(identifier(), QStringLiteral("Label1"))->text(),
             QStringLiteral("Select a tag to identify data to load"));
    QTest::keyClicks(tagBox(), QStringLiteral("typed"));
    QCOMPARE(tagBox()->text(), QString());
    identifier()->close();
    SaveDataCommand(m_workspace);
    QCOMPARE(child<QLabel>(identifier(), QStringLiteral("Label1"))->text(),
             QStringLiteral("Create or select a tag to identify this data"));
    QTest::keyClicks(tagBox(), QStringLiteral("typed"));
    QCOMPARE(tagBox()->text(), QStringLiteral("typed"));
}

void TestDataSets::refusesUnusableTags_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("why"); // "" when the file system refuses it
    const QString separators = QStringLiteral("Names cannot contain / or \\.");
    const QString controls = QStringLiteral("Names cannot contain line breaks, tabs or other control characters.");
    QTest::newRow("parent") << QStringLiteral("../escape") << separators;
    QTest::newRow("backslash") << QStringLiteral("a\\b") << separators;
    QTest::newRow("dot dot") << QStringLiteral("..") << QStringLiteral("Names cannot be . or ..");
    QTest::newRow("dot") << QStringLiteral(".") << QStringLiteral("Names cannot be . or ..");
    QTest::newRow("nul") << QStringLiteral("Smi").append(QChar(u'\0')).append(u"th") << controls;
    QTest::newRow("tab") << QStringLiteral("Smith\tJones") << controls;
    QTest::newRow("too long") << QString(300, QLatin1Char('x')) << QString();
}

void TestDataSets::refusesUnusableTags()
{
    QFETCH(QString, tag);
    QFETCH(QString, why);
    TestHome home;
    startWithThreeFields(m_workspace, home);
    Ask::clearRecords();
    saveAs(m_workspace, tag);
    QCOMPARE(Ask::records().size(), 1);
    QCOMPARE(lastTitle(), QStringLiteral("Error"));
    if (!why.isEmpty())
        QVERIFY2(lastMessage().contains(why), qPrintable(lastMessage()));
    QVERIFY(identifier());
    identifier()->close();
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral("escape")));
    QCOMPARE(QDir(dataFolder(home)).entryList(QDir::Files), QStringList());
}

void TestDataSets::cancelAndHelp()
{
    TestHome home;
    MainForm *main = startWithThreeFields(m_workspace, home);
    SaveDataCommand(m_workspace);
    QVERIFY(!main->isVisible());
    press("Command3");
    QWidget *help = topWindow("HelpForm");
    QVERIFY(help);
    QVERIFY(child<QPlainTextEdit>(help, QStringLiteral("Text1"))->toPlainText().startsWith(QStringLiteral("Saving Data")));
    press("Command2");
    QTRY_VERIFY(!identifier());
    QVERIFY(main->isVisible());
    QCOMPARE(QDir(dataFolder(home)).entryList(QDir::Files), QStringList());
}

QTEST_MAIN(TestDataSets)
#include "tst_datasets.moc"
