#include "core/editor/modeleditor.h"
#include "tests/support/testhome.h"

#include <QFileInfo>
#include <QTest>

// The editor's rules without the editor window: a model in a temporary home,
// written to its file after every change.
namespace {
struct Editing {
    TestHome home;
    ModelLists model;
    QString folder = home.appFolder();
    ModelEditor editor{model, folder, QStringLiteral("Jobs"), folder};

    ModelLists saved() const
    {
        Result<ModelLists> onDisk = ModelFile::read(ModelFile::modelPath(folder, QStringLiteral("Jobs")));
        return onDisk ? std::move(onDisk).value() : ModelLists();
    }
};

const QString kDuplicate = QStringLiteral("There is already a field called Name.");
} // namespace

class TestModelEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addField_data();
    void addField();
    void changeField_data();
    void changeField();
    void newDocumentStartsFromTheTemplate();
    void existingDocumentFileIsKept();
    void documentRefusals_data();
    void documentRefusals();
    void spreadsheetChecks_data();
    void spreadsheetChecks();
    void spreadsheetsKeepTheirNumbersWhenMoved();
    void removeOutsideTheList();
    void modelNames_data();
    void modelNames();
    void failedSaveIsReported();
};

void TestModelEditor::addField_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("new") << QStringLiteral("City") << true << QString() << QString();
    QTest::newRow("empty") << QString() << false << QStringLiteral("You have not input a field to add.")
                           << QStringLiteral("Error");
    QTest::newRow("same name, other case") << QStringLiteral("NAME") << false << kDuplicate << QStringLiteral("Error");
    QTest::newRow("control character") << QStringLiteral("Ci\aty") << false
                                       << QStringLiteral("The field name cannot be used. ")
                                       << QStringLiteral("Error in Operation");
}

void TestModelEditor::addField()
{
    QFETCH(QString, name);
    QFETCH(bool, ok);
    QFETCH(QString, message);
    QFETCH(QString, title);
    Editing e;
    e.model.FieldNames = {QStringLiteral("Name")};
    const EditResult result = e.editor.addField(name);
    QCOMPARE(result.ok, ok);
    QVERIFY2(result.message.startsWith(message), qPrintable(result.message));
    QCOMPARE(result.title, title);
    const QStringList expected = ok ? QStringList{QStringLiteral("Name"), name} : QStringList{QStringLiteral("Name")};
    QCOMPARE(e.model.FieldNames, expected);
    QCOMPARE(QFileInfo::exists(ModelFile::modelPath(e.folder, QStringLiteral("Jobs"))), ok);
    if (ok)
        QCOMPARE(e.saved().FieldNames, expected);
}

void TestModelEditor::changeField_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");
    const QString name = QStringLiteral("Name");
    const QString city = QStringLiteral("City");
    QTest::newRow("rename") << 1 << QStringLiteral("Town") << QStringList{name, QStringLiteral("Town")} << QString();
    QTest::newRow("own name, other case") << 0 << QStringLiteral("NAME") << QStringList{QStringLiteral("NAME"), city}
                                          << QString();
    QTest::newRow("another field's name") << 1 << QStringLiteral("name") << QStringList{name, city} << kDuplicate;
    QTest::newRow("empty removes") << 0 << QString() << QStringList{city} << QString();
    QTest::newRow("outside the list") << 2 << QStringLiteral("Town") << QStringList{name, city} << QString();
}

void TestModelEditor::changeField()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    Editing e;
    e.model.FieldNames = {QStringLiteral("Name"), QStringLiteral("City")};
    const bool changes = expected != e.model.FieldNames;
    const EditResult result = e.editor.changeField(index, name);
    QCOMPARE(result.ok, changes);
    QCOMPARE(result.message, message);
    QCOMPARE(e.model.FieldNames, expected);
    if (changes)
        QCOMPARE(e.saved().FieldNames, expected);
}

void TestModelEditor::newDocumentStartsFromTheTemplate()
{
    Editing e;
    QVERIFY(writeFile(e.folder + QStringLiteral("Template.rtf"), "{\\rtf1 template}"));
    QString file;
    QVERIFY(e.editor.openDocument(QStringLiteral("Letter"), &file).ok);
    QCOMPARE(file, QStringLiteral("Letter.rtf"));
    QCOMPARE(readFile(e.folder + file), QByteArray("{\\rtf1 template}"));
    QCOMPARE(e.saved().DocNames, QStringList{QStringLiteral("Letter")});

    // Opened again under another case: the same entry, the file untouched.
    QVERIFY(writeFile(e.folder + file, "{\\rtf1 edited}"));
    QVERIFY(e.editor.openDocument(QStringLiteral("LETTER"), &file).ok);
    QCOMPARE(e.model.DocNames, QStringList{QStringLiteral("Letter")});
    QCOMPARE(readFile(e.folder + QStringLiteral("Letter.rtf")), QByteArray("{\\rtf1 edited}"));
}

void TestModelEditor::existingDocumentFileIsKept()
{
    Editing e;
    QVERIFY(writeFile(e.folder + QStringLiteral("Memo.txt"), "Memo for &Name&"));
    QString file;
    QVERIFY(e.editor.openDocument(QStringLiteral("Memo"), &file).ok);
    QCOMPARE(file, QStringLiteral("Memo.txt"));
    QVERIFY(!QFileInfo::exists(e.folder + QStringLiteral("Memo.rtf")));
    QCOMPARE(e.model.DocNames, QStringList{QStringLiteral("Memo")});
}

void TestModelEditor::documentRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("no template") << QStringLiteral("Letter") << QStringLiteral("File not found");
    QTest::newRow("a folder") << QStringLiteral("../Letter") << QStringLiteral("The document name cannot be used. ");
    QTest::newRow("dot name") << QStringLiteral("..") << QStringLiteral("The document name cannot be used. ");
}

void TestModelEditor::documentRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    Editing e;
    QString file;
    const EditResult result = e.editor.openDocument(name, &file);
    QVERIFY(!result.ok);
    QVERIFY2(result.message.startsWith(message), qPrintable(result.message));
    QCOMPARE(result.title, QStringLiteral("Error in Operation"));
    QVERIFY(e.model.DocNames.isEmpty());
    QVERIFY(!QFileInfo::exists(ModelFile::modelPath(e.folder, QStringLiteral("Jobs"))));
}

void TestModelEditor::spreadsheetChecks_data()
{
    QTest::addColumn<QString>("path"); // "@" stands for the temporary home
    QTest::addColumn<QString>("sheetText");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("normalised");
    QTest::addColumn<bool>("known");
    const QString fullPath = QStringLiteral("You must specify the full path (such as C:\\MyFiles\\MySpreadsheet.xls).");
    QTest::newRow("new, sheet 2") << QStringLiteral("@Book.csv") << QStringLiteral("2") << QString()
                                  << QStringLiteral("2") << false;
    QTest::newRow("empty sheet is 1") << QStringLiteral("@Book.csv") << QString() << QString() << QStringLiteral("1")
                                      << false;
    QTest::newRow("sheet 0 is 1") << QStringLiteral("@Book.csv") << QStringLiteral("0") << QString()
                                  << QStringLiteral("1") << false;
    QTest::newRow("sheet out of range") << QStringLiteral("@Book.csv") << QStringLiteral("40000")
                                        << QStringLiteral("The sheet number must be a whole number from 1 to 32767.")
                                        << QString() << false;
    QTest::newRow("known keeps its number") << QStringLiteral("@Known.csv") << QStringLiteral("40000") << QString()
                                            << QStringLiteral("40000") << true;
    QTest::newRow("relative") << QStringLiteral("Book.csv") << QStringLiteral("1") << fullPath << QString() << false;
    QTest::newRow("missing") << QStringLiteral("@Gone.csv") << QStringLiteral("1")
                             << QStringLiteral("I cannot find the spreadsheet file\r\n@Gone.csv") << QString() << false;
}

void TestModelEditor::spreadsheetChecks()
{
    QFETCH(QString, path);
    QFETCH(QString, sheetText);
    QFETCH(QString, message);
    QFETCH(QString, normalised);
    QFETCH(bool, known);
    Editing e;
    path.replace(QLatin1Char('@'), e.folder);
    message.replace(QLatin1Char('@'), e.folder);
    QVERIFY(writeFile(e.folder + QStringLiteral("Book.csv"), "&Name&,&City&\r\n"));
    QVERIFY(writeFile(e.folder + QStringLiteral("Known.csv"), "&Name&,&City&\r\n"));
    e.model.SheetPaths = {e.folder + QStringLiteral("Known.csv")};
    e.model.SheetNumbers = {3};
    const ModelEditor::SheetCheck check = e.editor.checkSpreadsheet(path, sheetText);
    QCOMPARE(check.result.ok, message.isEmpty());
    QCOMPARE(check.result.message, message);
    if (!message.isEmpty())
        return;
    QCOMPARE(check.sheetText, normalised);
    QCOMPARE(check.known, known);
    QCOMPARE(check.folder, e.folder);
    QCOMPARE(check.folder + check.fileName, path);
    QCOMPARE(e.editor.sheetNumberText(path), known ? QStringLiteral("3") : QStringLiteral("1"));
}

void TestModelEditor::spreadsheetsKeepTheirNumbersWhenMoved()
{
    Editing e;
    const QString a = e.folder + QStringLiteral("A.csv");
    const QString b = e.folder + QStringLiteral("B.csv");
    QVERIFY(e.editor.addSpreadsheet(a, 2).ok);
    QVERIFY(e.editor.addSpreadsheet(b, 5).ok);
    QVERIFY(!e.editor.moveUp(ModelEdit::Spreadsheets, 0));
    QVERIFY(!e.editor.moveDown(ModelEdit::Spreadsheets, 1));
    QVERIFY(e.editor.moveUp(ModelEdit::Spreadsheets, 1));
    QCOMPARE(e.saved().SheetPaths, (QStringList{b, a}));
    QCOMPARE(e.saved().SheetNumbers, (QList<qint16>{5, 2}));

    e.editor.setSheetNumber(1, QStringLiteral("70000")); // not a sheet: not stored
    e.editor.setSheetNumber(1, QStringLiteral("7"));
    QCOMPARE(e.model.SheetNumbers, (QList<qint16>{5, 7}));
}

void TestModelEditor::removeOutsideTheList()
{
    Editing e;
    e.model.DocNames = {QStringLiteral("Letter")};
    const EditResult outside = e.editor.removeAt(ModelEdit::Documents, 1);
    QVERIFY(!outside.ok);
    QCOMPARE(outside.message, QStringLiteral("Subscript out of range"));
    QCOMPARE(outside.title, QStringLiteral("Error in Deleting"));
    QVERIFY(e.editor.removeAt(ModelEdit::Documents, 0).ok);
    QVERIFY(e.saved().DocNames.isEmpty());
}

void TestModelEditor::modelNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("usable") << QStringLiteral("Jobs") << QString() << QString();
    QTest::newRow("empty") << QString()
                           << QStringLiteral("You must input a name for your model in the box at the top of this form.")
                           << QStringLiteral("Need a model name");
    QTest::newRow("a folder") << QStringLiteral("a/b") << QStringLiteral("The model name cannot be used. ")
                              << QStringLiteral("Error in Deleting");
}

void TestModelEditor::modelNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(QString, title);
    const EditResult result = ModelEditor::checkModelName(name, QStringLiteral("Error in Deleting"));
    QCOMPARE(result.ok, message.isEmpty());
    QVERIFY2(result.message.startsWith(message), qPrintable(result.message));
    QCOMPARE(result.title, title);
}

void TestModelEditor::failedSaveIsReported()
{
    TestHome home;
    ModelLists model;
    ModelEditor editor(model, home.appFolder(), QStringLiteral("../Jobs"), home.appFolder());
    const EditResult result = editor.addField(QStringLiteral("Name"));
    QVERIFY(!result.ok);
    QVERIFY(result.message.startsWith(QStringLiteral("The model name cannot be used. ")));
    QVERIFY(result.message.endsWith(QStringLiteral(" occurred saving model file.\r\nNo model saved.")));
    QCOMPARE(result.title, QStringLiteral("Error"));
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("Jobs.mod")));
}

QTEST_GUILESS_MAIN(TestModelEditor)
#include "tst_modeleditor.moc"
