#include "ui/editor/filepickers.h"
#include "core/workspace.h"
#include "ui/editor/modelform.h"
#include "ui/menu/modelcommands.h"
#include "platform/process.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>


namespace {
QWidget *editor() { return topWindow("ModelForm"); }
QLineEdit *field() { return child<QLineEdit>(editor(), QStringLiteral("txtField")); }
QLineEdit *sheetBox() { return child<QLineEdit>(editor(), QStringLiteral("txtSheet")); }
QListWidget *list() { return child<QListWidget>(editor(), QStringLiteral("List1")); }
void press(const char *name) { QTest::mouseClick(child<QPushButton>(editor(), QLatin1String(name)), Qt::LeftButton); }

void type(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

void chooseMode(int mode)
{
    QTest::mouseClick(child<QRadioButton>(editor(), QStringLiteral("Option%1").arg(mode)), Qt::LeftButton,
                      {}, QPoint(5, 5));
}

void selectRow(int row)
{
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(row)).center());
}

QStringList listItems()
{
    QStringList out;
    for (int i = 0; i < list()->count(); ++i)
        out << list()->item(i)->text();
    return out;
}

// A model with three of everything, opened in the editor.
QByteArray kModel = " 3 \r\nA\r\nB\r\nC\r\n 3 \r\nD1\r\nD2\r\nD3\r\n 3 \r\n/s/one.xls\r\n 1 \r\n/s/two.xls\r\n 2 \r\n"
                    "/s/three.xls\r\n 3 \r\n";
} // namespace

class TestModelForm : public QObject {
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

    void createModelAddsRenamesAndRemovesFields();
    void renameToAnotherFieldsNameIsRefused();
    void movesKeepListAndArraysInStep_data();
    void movesKeepListAndArraysInStep();
    void moveAtTheEndsChangesNothing();
    void documentFromTemplateAndReopened();
    void wordProcessorPackageOpensAsItIs_data();
    void wordProcessorPackageOpensAsItIs();
    void unsafeDocumentNameIsRefused();
    void spreadsheetSheetNumbers();
    void spreadsheetMessagesInOrder();
    void paletteCopiesMarkerAndHandsBack();
    void closingWithEmptyNameSavesNothing();
    void closingReloadsModel();
    void editExistingModel();
    void helpAndSamples();
    void documentsFolderNoticeOnlyOnce();
    void pickersYieldFolderAndFile();
    void modelNameMustStayInTheFolder();

private:
    QWidget *openOn(const TestHome &home, const QByteArray &model);
    QStringList m_started;
    Workspace m_workspace; // the workspace the windows are handed
};

QWidget *TestModelForm::openOn(const TestHome &home, const QByteArray &model)
{
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), model);
    TestHome::copyData(QStringLiteral("Template.rtf"), home.appFolder());
    startProgram(m_workspace);
    ModelForm *form = ModelForm::instance(m_workspace);
    form->setModelName(QStringLiteral("Sample Model"));
    form->show();
    return form;
}

void TestModelForm::createModelAddsRenamesAndRemovesFields()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    CreateModelCommand(m_workspace);
    QVERIFY(editor());
    QVERIFY(!main->isVisible());
    QCOMPARE(editor()->windowTitle(), QStringLiteral("Create/Edit Model"));
    QTRY_VERIFY(child<QLineEdit>(editor(), QStringLiteral("txtModelName"))->hasFocus());
    type(child<QLineEdit>(editor(), QStringLiteral("txtModelName")), QStringLiteral("Clients"));
    QVERIFY(readFile(home.appFolder() + QStringLiteral("qlt.ini")).startsWith("Clients\r\n"));
    const QString file = home.appFolder() + QStringLiteral("Clients.mod");

    type(field(), QStringLiteral("First Name"));
    type(field(), QStringLiteral(" Date, of \"Birth\""));
    QCOMPARE(readFile(file), QByteArray(" 2 \r\nFirst Name\r\n Date, of \"Birth\"\r\n 0 \r\n 0 \r\n"));
    QCOMPARE(listItems(), (QStringList{QStringLiteral("First Name"), QStringLiteral(" Date, of \"Birth\"")}));
    QCOMPARE(field()->text(), QString());

    type(field(), QStringLiteral("first name"));
    QCOMPARE(lastMessage(), QStringLiteral("There is already a field called First Name."));
    QCOMPARE(lastTitle(), QStringLiteral("Error"));
    QCOMPARE(field()->text(), QString());
    QCOMPARE(m_workspace.FieldCount(), qint16(2));

    press("butEdit");
    QCOMPARE(lastMessage(), QStringLiteral("You have not input a field to add."));

    selectRow(0);
    QCOMPARE(field()->text(), QStringLiteral("First Name"));
    QCOMPARE(child<QPushButton>(editor(), QStringLiteral("butEdit"))->text(), QStringLiteral("&Edit"));
    type(field(), QStringLiteral("Given Name"));
    QCOMPARE(readFile(file), QByteArray(" 2 \r\nGiven Name\r\n Date, of \"Birth\"\r\n 0 \r\n 0 \r\n"));
    QCOMPARE(child<QPushButton>(editor(), QStringLiteral("butEdit"))->text(), QStringLiteral("&Add"));
    QVERIFY(list()->selectedItems().isEmpty());

    selectRow(1);
    type(field(), QString());
    QCOMPARE(readFile(file), QByteArray(" 1 \r\nGiven Name\r\n 0 \r\n 0 \r\n"));
    QCOMPARE(listItems(), QStringList{QStringLiteral("Given Name")});
}

void TestModelForm::renameToAnotherFieldsNameIsRefused()
{
    TestHome home;
    openOn(home, kModel);
    const QByteArray before = readFile(home.appFolder() + QStringLiteral("Sample Model.mod"));
    selectRow(2);
    type(field(), QStringLiteral("a"));
    QCOMPARE(lastMessage(), QStringLiteral("There is already a field called A."));
    QCOMPARE(readFile(home.appFolder() + QStringLiteral("Sample Model.mod")), before);
    QCOMPARE(listItems(), m_workspace.FieldNames);
    // A change of letter case of the same field is a rename like any other.
    selectRow(1);
    type(field(), QStringLiteral("b"));
    QCOMPARE(m_workspace.FieldNames, (QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("C")}));
}

void TestModelForm::movesKeepListAndArraysInStep_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("fields") << 1;
    QTest::newRow("documents") << 2;
    QTest::newRow("spreadsheets") << 3;
}

void TestModelForm::movesKeepListAndArraysInStep()
{
    QFETCH(int, mode);
    TestHome home;
    openOn(home, kModel);
    chooseMode(mode);
    auto current = [this, mode] {
        const auto &s = m_workspace;
        return mode == 1 ? s.FieldNames : mode == 2 ? s.DocNames : s.SheetPaths;
    };
    QCOMPARE(listItems(), current());
    selectRow(2);
    press("butUp");
    QCOMPARE(list()->currentRow(), 1);
    QCOMPARE(listItems(), current());
    selectRow(0);
    press("butDown");
    QCOMPARE(list()->currentRow(), 1);
    QCOMPARE(listItems(), current());
    if (mode == 3)
        QCOMPARE(m_workspace.SheetNumbers, (QList<qint16>{3, 1, 2})); // each number moved with its path
    selectRow(0);
    press("butDelete");
    QCOMPARE(listItems(), current());
    QCOMPARE(current().size(), 2);
    QVERIFY(list()->selectedItems().isEmpty());
    QVERIFY(!child<QPushButton>(editor(), QStringLiteral("butDelete"))->isEnabled());

    QCOMPARE(ModelFile::read(home.appFolder() + QStringLiteral("Sample Model.mod")).value(),
             static_cast<const ModelLists &>(m_workspace));
    if (mode == 3) {
        QCOMPARE(m_workspace.SheetPaths, (QStringList{QStringLiteral("/s/one.xls"), QStringLiteral("/s/two.xls")}));
        QCOMPARE(m_workspace.SheetNumbers, (QList<qint16>{1, 2}));
    }
}

void TestModelForm::moveAtTheEndsChangesNothing()
{
    TestHome home;
    openOn(home, kModel);
    chooseMode(3);
    const QString file = home.appFolder() + QStringLiteral("Sample Model.mod");
    QFile::remove(file); // any save would bring it back
    selectRow(0);
    press("butUp");
    selectRow(2);
    press("butDown");
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(m_workspace.SheetNumbers, (QList<qint16>{1, 2, 3}));
    QCOMPARE(listItems(), m_workspace.SheetPaths);
}

void TestModelForm::wordProcessorPackageOpensAsItIs_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("opened");
    QTest::newRow(".docx") << QStringList{QStringLiteral("Letter.docx")} << QStringLiteral("Letter.docx");
    QTest::newRow(".odt") << QStringList{QStringLiteral("Letter.odt")} << QStringLiteral("Letter.odt");
    // The editor opens the file that a fill would use.
    QTest::newRow(".rtf beside it") << QStringList{QStringLiteral("Letter.odt"), QStringLiteral("Letter.rtf")}
                                    << QStringLiteral("Letter.odt");
}

void TestModelForm::wordProcessorPackageOpensAsItIs()
{
    QFETCH(QStringList, files);
    QFETCH(QString, opened);
    TestHome home;
    openOn(home, " 1 \r\nName\r\n 0 \r\n 0 \r\n");
    for (const QString &f : files)
        QVERIFY(writeFile(home.appFolder() + f, "kept as it is"));
    chooseMode(2);
    type(field(), QStringLiteral("Letter"));
    QCOMPARE(m_workspace.DocNames, QStringList{QStringLiteral("Letter")});
    QCOMPARE(m_started.size(), 1);
    QVERIFY2(m_started.first().endsWith(home.appFolder() + opened), qPrintable(m_started.first()));
    for (const QString &f : files)
        QCOMPARE(readFile(home.appFolder() + f), QByteArray("kept as it is"));
    QCOMPARE(QDir(home.appFolder()).entryList({QStringLiteral("Letter.*")}, QDir::Files).size(), files.size());
    QTRY_VERIFY(topWindow("FieldsForm"));
    topWindow("FieldsForm")->close();
    QTRY_VERIFY(editor());
}

void TestModelForm::documentFromTemplateAndReopened()
{
    TestHome home;
    openOn(home, " 1 \r\nName\r\n 0 \r\n 0 \r\n");
    chooseMode(2);
    type(field(), QStringLiteral("Letter"));
    const QString doc = home.appFolder() + QStringLiteral("Letter.rtf");
    QCOMPARE(readFile(doc), readFile(TestHome::dataPath(QStringLiteral("Template.rtf"))));
    QCOMPARE(m_workspace.DocNames, QStringList{QStringLiteral("Letter")});
    QVERIFY(readFile(home.appFolder() + QStringLiteral("Sample Model.mod")).contains(" 1 \r\nLetter\r\n"));
    QCOMPARE(m_started.size(), 1);
    QVERIFY(m_started.first().endsWith(doc));
    QWidget *palette = topWindow("FieldsForm");
    QVERIFY(palette);
    QVERIFY(!editor());
    // The palette's prompt is the one for documents.
    QVERIFY(child<QLabel>(palette, QStringLiteral("Label1"))->text().startsWith(QStringLiteral("Edit the form in")));
    QVERIFY(palette->windowFlags() & Qt::WindowStaysOnTopHint);

    palette->close();
    QTRY_VERIFY(editor());
    QTRY_VERIFY(editor()->isMaximized());
    QCOMPARE(listItems(), QStringList{QStringLiteral("Letter")});

    writeFile(doc, "edited by the user");
    type(field(), QStringLiteral("LETTER"));
    QCOMPARE(readFile(doc), QByteArray("edited by the user"));
    QCOMPARE(m_workspace.DocNames, QStringList{QStringLiteral("Letter")});
    QTRY_VERIFY(topWindow("FieldsForm"));
    topWindow("FieldsForm")->close();
    QTRY_VERIFY(editor());
    QCOMPARE(listItems(), QStringList{QStringLiteral("Letter")});

    // Emptying the box of a selected document removes it from the model; its file stays.
    selectRow(0);
    QCOMPARE(field()->text(), QStringLiteral("Letter"));
    type(field(), QString());
    QVERIFY(m_workspace.DocNames.isEmpty());
    QVERIFY(QFileInfo::exists(doc));
}

void TestModelForm::unsafeDocumentNameIsRefused()
{
    TestHome home;
    openOn(home, " 0 \r\n 0 \r\n 0 \r\n");
    chooseMode(2);
    for (const QString &name : {QStringLiteral("../Outside"), QStringLiteral(".."), QStringLiteral("a\\b")}) {
        type(field(), name);
        QCOMPARE(lastTitle(), QStringLiteral("Error in Operation"));
    }
    QVERIFY(m_workspace.DocNames.isEmpty());
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("Outside.rtf")));
    QVERIFY(m_started.isEmpty());
    QCOMPARE(field()->text(), QStringLiteral("a\\b")); // kept for correction
    field()->clear();
    press("butEdit");
    QCOMPARE(lastMessage(), QStringLiteral("You must input a name for the document you are creating."));
}

void TestModelForm::spreadsheetSheetNumbers()
{
    TestHome home;
    openOn(home, " 0 \r\n 0 \r\n 0 \r\n");
    chooseMode(3);
    QCOMPARE(sheetBox()->text(), QStringLiteral("1"));
    const QStringList books{home.path() + QStringLiteral("a.xls"), home.path() + QStringLiteral("b.csv"),
                            home.path() + QStringLiteral("c.ods"), home.path() + QStringLiteral("d.xls")};
    for (const QString &b : books)
        writeFile(b, "x");
    const QStringList sheets{QStringLiteral("0"), QString(), QStringLiteral("4"), QStringLiteral("40000")};
    for (int i = 0; i < books.size(); ++i) {
        field()->setText(books[i]);
        sheetBox()->setText(sheets[i]);
        press("butEdit");
        if (QWidget *palette = topWindow("FieldsForm")) {
            palette->close();
            QTRY_VERIFY(editor());
        }
    }
    QCOMPARE(m_workspace.SheetPaths, books.mid(0, 3));
    QCOMPARE(m_workspace.SheetNumbers, (QList<qint16>{1, 1, 4}));
    QCOMPARE(lastTitle(), QStringLiteral("Error in Operation"));
    QCOMPARE(m_started.size(), 3);

    // A path already in the list is only reopened.
    field()->setText(books[0]);
    QCOMPARE(sheetBox()->text(), QStringLiteral("1"));
    press("butEdit");
    QCOMPARE(m_workspace.SheetCount(), qint16(3));
    QCOMPARE(m_started.size(), 4);
    topWindow("FieldsForm")->close();
    QTRY_VERIFY(editor());

    // The sheet box stores into the selected spreadsheet as it is typed.
    selectRow(2);
    QCOMPARE(sheetBox()->text(), QStringLiteral("4"));
    editor()->activateWindow();
    sheetBox()->setFocus();
    QTRY_VERIFY(sheetBox()->hasFocus());
    sheetBox()->selectAll();
    QTest::keyClicks(sheetBox(), QStringLiteral("7"));
    QCOMPARE(m_workspace.SheetNumbers.last(), qint16(7));
    sheetBox()->selectAll();
    sheetBox()->insert(QStringLiteral("70000")); // as pasted
    QCOMPARE(m_workspace.SheetNumbers.last(), qint16(7)); // 70000 is no sheet number
}

void TestModelForm::spreadsheetMessagesInOrder()
{
    TestHome home;
    openOn(home, " 0 \r\n 0 \r\n 0 \r\n");
    chooseMode(3);
    press("butEdit");
    QCOMPARE(lastMessage(), QStringLiteral("You must specify the spreadsheet you wish to add."));
    writeFile(home.path() + QStringLiteral("Book.xls"), "x");
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(home.path());
    const QString nope = home.path() + QStringLiteral("Nope.xls");
    field()->setText(nope);
    press("butEdit");
    QCOMPARE(lastMessage(), QStringLiteral("I cannot find the spreadsheet file\r\n") + nope);
    QCOMPARE(lastTitle(), QCoreApplication::applicationName());
    // A relative path is never looked up in the current folder, where a
    // file of that name happens to be.
    field()->setText(QStringLiteral("Book.xls"));
    press("butEdit");
    QCOMPARE(lastMessage(), QStringLiteral("You must specify the full path (such as C:\\MyFiles\\MySpreadsheet.xls)."));
    QDir::setCurrent(oldCurrent);
    QCOMPARE(field()->text(), QStringLiteral("Book.xls")); // kept for correction
    QVERIFY(m_started.isEmpty());
}

void TestModelForm::paletteCopiesMarkerAndHandsBack()
{
    TestHome home;
    openOn(home, " 2 \r\n First Name\r\nCity\r\n 0 \r\n 0 \r\n");
    chooseMode(2);
    type(field(), QStringLiteral("Letter"));
    QWidget *palette = topWindow("FieldsForm");
    QVERIFY(palette);
    auto *fields = child<QListWidget>(palette, QStringLiteral("List1"));
    QCOMPARE(fields->count(), 2);
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(fields->viewport(), Qt::LeftButton, {}, fields->visualItemRect(fields->item(0)).center());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("& First Name&"));
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, {}, fields->visualItemRect(fields->item(1)).center());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("&City&"));
}

void TestModelForm::closingWithEmptyNameSavesNothing()
{
    TestHome home;
    TestHome::copyData(QStringLiteral("Sample Model.mod"), home.appFolder());
    MainForm *main = startProgram(m_workspace);
    CreateModelCommand(m_workspace);
    chooseMode(1);
    editor()->close();
    QTRY_VERIFY(main->isVisible());
    QCOMPARE(QDir(home.appFolder()).entryList({QStringLiteral("*.mod")}), QStringList{QStringLiteral("Sample Model.mod")});
    QCOMPARE(main->rowCount(), 5);
}

void TestModelForm::closingReloadsModel()
{
    TestHome home;
    openOn(home, " 1 \r\nName\r\n 0 \r\n 0 \r\n");
    type(field(), QStringLiteral("City"));
    type(child<QLineEdit>(editor(), QStringLiteral("txtModelName")), QStringLiteral("Renamed"));
    press("butClose");
    MainForm *main = MainForm::existing();
    QTRY_VERIFY(main && main->isVisible());
    QCOMPARE(main->rowCount(), 2);
    QVERIFY(QFileInfo::exists(home.appFolder() + QStringLiteral("Renamed.mod")));
    QVERIFY(QFileInfo::exists(home.appFolder() + QStringLiteral("Sample Model.mod")));
    QVERIFY(readFile(home.appFolder() + QStringLiteral("qlt.ini")).startsWith("Renamed\r\n"));
}

void TestModelForm::editExistingModel()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Orders.mod"), " 1 \r\nItem\r\n 0 \r\n 0 \r\n");
    MainForm *main = startProgram(m_workspace);
    QTimer::singleShot(0, [] {
        QWidget *select = topWindow("SelectForm");
        QVERIFY(select);
        auto *models = child<QListWidget>(select, QStringLiteral("List1"));
        models->setCurrentRow(0);
        QTest::mouseClick(child<QPushButton>(select, QStringLiteral("Command1")), Qt::LeftButton);
    });
    EditExistingModelCommand(m_workspace);
    QVERIFY(editor());
    QVERIFY(!main->isVisible());
    QCOMPARE(child<QLineEdit>(editor(), QStringLiteral("txtModelName"))->text(), QStringLiteral("Orders"));
    QCOMPARE(listItems(), QStringList{QStringLiteral("Item")});
}

void TestModelForm::helpAndSamples()
{
    TestHome home;
    TestHome::copyData(QStringLiteral("QLT.txt"), home.appFolder());
    openOn(home, " 0 \r\n 0 \r\n 0 \r\n");
    press("butHelp");
    QWidget *help = topWindow("HelpForm");
    QVERIFY(help);
    const QString text = child<QPlainTextEdit>(help, QStringLiteral("Text1"))->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("     This screen allows you to create and edit models")));
    QVERIFY(!text.contains(QStringLiteral("Editing existing models")));

    QAction *sample = editor()->findChild<QAction *>(QStringLiteral("mnuViewSample"));
    QVERIFY(!sample->isVisible());
    chooseMode(2);
    QCOMPARE(sample->text(), QStringLiteral("View Sample Document"));
    sample->trigger();
    chooseMode(3);
    QCOMPARE(sample->text(), QStringLiteral("View Sample Spreadsheet"));
    sample->trigger();
    QCOMPARE(m_started.size(), 2);
    QVERIFY(m_started[0].endsWith(home.appFolder() + QStringLiteral("Sample Doc.rtf")));
    QVERIFY(m_started[1].endsWith(home.appFolder() + QStringLiteral("Sample Spreadsheet.xls")));
}

void TestModelForm::documentsFolderNoticeOnlyOnce()
{
    TestHome home;
    QDir(home.documents()).removeRecursively();
    openOn(home, " 0 \r\n 0 \r\n 0 \r\n");
    QCOMPARE(Ask::records().size(), 1);
    QVERIFY(lastMessage().startsWith(QStringLiteral("Due to an incompatiblitly with your operating system,\r\n")));
    QVERIFY(QFileInfo::exists(home.appFolder() + QStringLiteral("Marker")));
    editor()->close();
    Ask::clearRecords();
    ModelForm *again = ModelForm::instance(m_workspace);
    again->show();
    QVERIFY(Ask::records().isEmpty());
}

void TestModelForm::pickersYieldFolderAndFile()
{
    TestHome home;
    const QString books = home.path() + QStringLiteral("books");
    for (const char *f : {"a.xls", "b.ODS", "c.csv", "d.xlsx", "e.xlsm", "notes.txt"})
        writeFile(books + QLatin1Char('/') + QLatin1String(f), "x");
    QDir().mkpath(books + QStringLiteral("/inner"));
    openOn(home, " 0 \r\n 0 \r\n 0 \r\n");
    chooseMode(3);
    auto *dir = child<FolderPicker>(editor(), QStringLiteral("Dir1"));
    auto *files = child<FilePicker>(editor(), QStringLiteral("File1"));
    QVERIFY(dir->setPath(books));
    QCOMPARE(field()->text(), books + QLatin1Char('/'));
    QStringList listed;
    for (int i = 0; i < files->count(); ++i)
        listed << files->item(i)->text();
    QCOMPARE(listed, (QStringList{QStringLiteral("a.xls"), QStringLiteral("b.ODS"), QStringLiteral("c.csv"),
                                  QStringLiteral("d.xlsx"), QStringLiteral("e.xlsm")}));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(2)).center());
    QCOMPARE(field()->text(), books + QStringLiteral("/c.csv"));
    // Entering a subfolder from the folder list, and back up with "..".
    const auto inner = dir->findItems(QStringLiteral("inner"), Qt::MatchExactly);
    QVERIFY(!inner.isEmpty());
    const QPoint innerAt = dir->visualItemRect(inner.first()).center();
    QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, innerAt);
    QTest::mouseDClick(dir->viewport(), Qt::LeftButton, {}, innerAt);
    QCOMPARE(dir->path(), books + QStringLiteral("/inner"));
    QCOMPARE(files->count(), 0);
    const QPoint upAt = dir->visualItemRect(dir->item(0)).center();
    QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, upAt);
    QTest::mouseDClick(dir->viewport(), Qt::LeftButton, {}, upAt);
    QCOMPARE(dir->path(), books);
}

void TestModelForm::modelNameMustStayInTheFolder()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    CreateModelCommand(m_workspace);
    auto *name = child<QLineEdit>(editor(), QStringLiteral("txtModelName"));
    type(name, QStringLiteral("../Escaped"));
    QCOMPARE(lastTitle(), QStringLiteral("Error in Operation"));
    type(field(), QStringLiteral("Name"));
    QCOMPARE(lastTitle(), QStringLiteral("Error in Operation"));
    QVERIFY(m_workspace.FieldNames.isEmpty());
    editor()->close();
    QTRY_VERIFY(main->isVisible());
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("Escaped.mod")));
    QVERIFY(QDir(home.path()).entryList({QStringLiteral("*.mod")}, QDir::Files).isEmpty());
    QVERIFY(!readFile(home.appFolder() + QStringLiteral("qlt.ini")).contains("Escaped"));
    QCOMPARE(m_workspace.ModelName, QString());
}

QTEST_MAIN(TestModelForm)
#include "tst_modelform.moc"
