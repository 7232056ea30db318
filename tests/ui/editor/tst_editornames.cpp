#include "ui/editor/modelform.h"
#include "core/workspace.h"
#include "platform/process.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>


// What the model editor accepts as names, and what it writes where.
namespace {
// The editor hides behind the fields palette while a document is open.
QWidget *editor() { return ModelForm::existing(); }
QLineEdit *box(const char *name) { return child<QLineEdit>(editor(), QLatin1String(name)); }
QListWidget *list() { return child<QListWidget>(editor(), QStringLiteral("List1")); }
void press(const QString &name) { QTest::mouseClick(child<QPushButton>(editor(), name), Qt::LeftButton); }

void chooseMode(int mode)
{
    QTest::mouseClick(child<QRadioButton>(editor(), QStringLiteral("Option%1").arg(mode)), Qt::LeftButton, {},
                      QPoint(5, 5));
}


void typeOver(QLineEdit *target, const QString &text)
{
    target->setFocus();
    target->selectAll();
    QTest::keyClick(target, Qt::Key_Delete);
    QTest::keyClicks(target, text);
}

QStringList listItems()
{
    QStringList out;
    for (int i = 0; i < list()->count(); ++i)
        out << list()->item(i)->text();
    return out;
}

const QByteArray kModel = " 3 \r\nA\r\nB\r\nC\r\n 0 \r\n 0 \r\n";
const QString kSeparators = QStringLiteral("Names cannot contain / or \\.");
const QString kControls = QStringLiteral("Names cannot contain line breaks, tabs or other control characters.");
} // namespace

class TestEditorNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Ask::setScripted(true);
        recordStarts(&m_started);
    }
    void cleanup()
    {
        closeAllWindows();
        Platform::setStartHook({});
    }

    void listButtonsRefuseUnusableModelName_data();
    void listButtonsRefuseUnusableModelName();
    void pastedNames_data();
    void pastedNames();
    void existingDocumentInOtherCaseIsOpened_data();
    void existingDocumentInOtherCaseIsOpened();

private:
    void openOn(const TestHome &home);
    QStringList m_started;
    Workspace m_workspace; // the workspace the windows are handed
};

void TestEditorNames::openOn(const TestHome &home)
{
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kModel);
    TestHome::copyData(QStringLiteral("Template.rtf"), home.appFolder());
    startProgram(m_workspace);
    ModelForm *form = ModelForm::instance(m_workspace);
    form->setModelName(QStringLiteral("Sample Model"));
    form->show();
}

void TestEditorNames::listButtonsRefuseUnusableModelName_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("why");
    const QString needName = QStringLiteral("You must input a name for your model in the box at the top of this form.");
    QTest::newRow("down, parent") << "butDown" << "../escape" << "Error in Operation" << kSeparators;
    QTest::newRow("up, parent") << "butUp" << "../escape" << "Error in Operation" << kSeparators;
    QTest::newRow("delete, parent") << "butDelete" << "../escape" << "Error in Deleting" << kSeparators;
    QTest::newRow("down, backslash") << "butDown" << "..\\escape" << "Error in Operation" << kSeparators;
    QTest::newRow("down, dots") << "butDown" << ".." << "Error in Operation"
                                << QStringLiteral("Names cannot be . or ..");
    QTest::newRow("down, empty") << "butDown" << "" << "Need a model name" << needName;
    QTest::newRow("delete, empty") << "butDelete" << "" << "Need a model name" << needName;
}

void TestEditorNames::listButtonsRefuseUnusableModelName()
{
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, why);
    TestHome home;
    openOn(home);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(1)).center());
    typeOver(box("txtModelName"), name);
    const QStringList before = QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden);
    Ask::clearRecords();
    press(button);
    QCOMPARE(lastTitle(), title);
    QVERIFY2(lastMessage().endsWith(why), qPrintable(lastMessage()));
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("escape.mod")));
    QVERIFY(!QFileInfo::exists(home.appFolder() + QStringLiteral(".mod")));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Sample Model.mod")), kModel);
    // Nothing changed, so list and model still agree.
    QCOMPARE(listItems(), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    QCOMPARE(m_workspace.FieldNames, listItems());
}

void TestEditorNames::pastedNames_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("message"); // "" when the name is taken
    QTest::addColumn<QStringList>("items");
    const QStringList unchanged{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    QTest::newRow("field with line break becomes one line")
        << 1 << "First\r\nName" << "" << (unchanged + QStringList{QStringLiteral("First Name")});
    QTest::newRow("field with tab")
        << 1 << "First\tName" << QStringLiteral("The field name cannot be used. ") + kControls << unchanged;
    QTest::newRow("field with NUL") << 1 << QStringLiteral("Fir").append(QChar(u'\0')).append(u"st")
                                    << QStringLiteral("The field name cannot be used. ") + kControls << unchanged;
    QTest::newRow("document with slash")
        << 2 << "../Letter" << QStringLiteral("The document name cannot be used. ") + kSeparators << QStringList{};
    QTest::newRow("document with NUL") << 2 << QStringLiteral("Let").append(QChar(u'\0')).append(u"ter")
                                       << QStringLiteral("The document name cannot be used. ") + kControls
                                       << QStringList{};
    QTest::newRow("document with line break becomes one line")
        << 2 << "Cover\nLetter" << "" << QStringList{QStringLiteral("Cover Letter")};
    QTest::newRow("spreadsheet with NUL") << 3 << QStringLiteral("/tmp/a").append(QChar(u'\0')).append(u".xls")
                                          << QStringLiteral("The spreadsheet path cannot be used. ") + kControls
                                          << QStringList{};
}

void TestEditorNames::pastedNames()
{
    QFETCH(int, mode);
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    QFETCH(QStringList, items);
    TestHome home;
    openOn(home);
    chooseMode(mode);
    const QByteArray before = readFile(home.appFolder() + QStringLiteral("Sample Model.mod"));
    Ask::clearRecords();
    pasteInto(box("txtField"), pasted);
    QVERIFY(!box("txtField")->text().contains(QLatin1Char('\n')));
    QTest::keyClick(box("txtField"), Qt::Key_Return);
    QCOMPARE(lastMessage(), message);
    if (!message.isEmpty()) {
        QCOMPARE(lastTitle(), QStringLiteral("Error in Operation"));
        QCOMPARE(readFile(home.appFolder() + QStringLiteral("Sample Model.mod")), before);
        QCOMPARE(QDir(home.appFolder()).entryList({QStringLiteral("*.rtf")}, QDir::Files),
                 QStringList{QStringLiteral("Template.rtf")});
        QCOMPARE(box("txtField")->text(), pasted); // kept for correction
    }
    QCOMPARE(listItems(), items);
    // The model file still loads: one line per name.
    QCOMPARE(ModelFile::read(home.appFolder() + QStringLiteral("Sample Model.mod")).value(),
             static_cast<const ModelLists &>(m_workspace));
}

void TestEditorNames::existingDocumentInOtherCaseIsOpened_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typed");
    QTest::newRow("lower typed") << "Letter.rtf" << "letter";
    QTest::newRow("upper typed") << "Letter.rtf" << "LETTER";
    QTest::newRow("upper extension") << "Letter.RTF" << "letter";
    QTest::newRow("other format") << "Letter.doc" << "letter";
}

void TestEditorNames::existingDocumentInOtherCaseIsOpened()
{
    QFETCH(QString, file);
    QFETCH(QString, typed);
    TestHome home;
    openOn(home);
    writeFile(home.appFolder() + file, "{\\rtf1 Dear &A&}");
    chooseMode(2);
    typeOver(box("txtField"), typed);
    QTest::keyClick(box("txtField"), Qt::Key_Return);
    QCOMPARE(Ask::records().size(), 0);
    QCOMPARE(m_started.size(), 1);
    QVERIFY2(m_started.first().endsWith(home.appFolder() + file), qPrintable(m_started.first()));
    QStringList docs = QDir(home.appFolder()).entryList({QStringLiteral("*")}, QDir::Files, QDir::Name);
    docs.removeAll(QStringLiteral("Template.rtf"));
    docs.removeAll(QStringLiteral("Sample Model.mod"));
    docs.removeAll(QStringLiteral("qlt.ini"));
    QCOMPARE(docs, QStringList{file}); // no blank copy beside it
    QCOMPARE(readFile(home.appFolder() + file), QByteArray("{\\rtf1 Dear &A&}"));
    QCOMPARE(m_workspace.DocNames, QStringList{typed});
}

QTEST_MAIN(TestEditorNames)
#include "tst_editornames.moc"
