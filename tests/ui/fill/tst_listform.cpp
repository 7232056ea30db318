#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

// The list window: a list picked through the file dialog, the rows run in a
// progress window, the summary, and lists refused before anything runs.
class TestListForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("CUPS_SERVER", "/nonexistent/cups.sock"); }
    void init();
    void cleanup();

    void fillsEveryRow();
    void cancelStopsAfterTheRowUnderWay();
    void badListIsShownBeforeAnything_data();
    void badListIsShownBeforeAnything();

private:
    void pickList(const QByteArray &csv, QWidget **list);
    void runAndWaitForSummary(QWidget *list, QWidget **summary);
    QString book() const { return m_home->appFolder() + QStringLiteral("Book.csv"); }

    Workspace m_workspace;
    std::unique_ptr<TestHome> m_home;
    MainForm *m_main = nullptr;
    QStringList m_started;
};

void TestListForm::init()
{
    m_home = std::make_unique<TestHome>();
    // Qt keeps the settings folder it first found; the file dialog's
    // settings belong in this case's home, not in one already removed.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home->path() + QStringLiteral(".config"));
    const QString app = m_home->appFolder();
    writeFile(app + QStringLiteral("Sample Model.mod"), " 3 \r\nName\r\nCity\r\nPhone\r\n 2 \r\nLetter\r\nCard\r\n 1 \r\n"
                                                        + book().toUtf8() + "\r\n 1 \r\n");
    writeFile(app + QStringLiteral("Letter.txt"), "Dear &Name& of &City&, call &Phone&.");
    writeFile(app + QStringLiteral("Card.txt"), "&Name&");
    writeFile(book(), "Name,City\r\n&Name&,&City&\r\n");
    m_main = startProgram(m_workspace);
    setEntryText(m_main, 3, QStringLiteral("555-1234"));
    recordStarts(&m_started);
}

void TestListForm::cleanup()
{
    closeAllWindows();
    Platform::setStartHook({});
    m_home.reset();
}

// File, Fill From List..., the path typed into the dialog, Return.
void TestListForm::pickList(const QByteArray &csv, QWidget **list)
{
    const QString path = m_home->path() + QStringLiteral("people.csv");
    writeFile(path, csv);
    QAction *command = m_main->findChild<QAction *>(QStringLiteral("mnuFillFromList"));
    const QList<QAction *> file = m_main->findChild<QMenu *>(QStringLiteral("mnuFiles"))->actions();
    QVERIFY(command);
    QCOMPARE(command->text(), QStringLiteral("Fill From &List..."));
    QCOMPARE(file.indexOf(command), 1 + file.indexOf(m_main->findChild<QAction *>(QStringLiteral("mnuLoadData"))));
    command->trigger();
    QPointer<QFileDialog> dialog;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = topWindow<QFileDialog>("dlgPickList")), 5000);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    auto *name = child<QLineEdit>(dialog, QStringLiteral("fileNameEdit"));
    // Pasted: typed key by key, each folder of the path would be selected on the way.
    pasteInto(name, path);
    QTest::keyClick(name, Qt::Key_Return);
    QTRY_VERIFY(!dialog || !dialog->isVisible());
    *list = topWindow("ListForm");
}

void TestListForm::runAndWaitForSummary(QWidget *list, QWidget **summary)
{
    auto *ok = child<QPushButton>(list, QStringLiteral("cmdOK"));
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT((*summary = topWindow("ListSummaryForm")), 60000);
}

void TestListForm::fillsEveryRow()
{
    QWidget *list = nullptr;
    pickList("name ,Town\r\nAnn,Rome\r\nBob,Oslo\r\nAnn,Bari\r\n../x,Nowhere\r\n", &list);
    QVERIFY(list);
    QCOMPARE(list->windowTitle(), QStringLiteral("Fill From List"));
    auto *fields = child<QTableWidget>(list, QStringLiteral("tblFields"));
    QCOMPARE(fields->item(0, 1)->text(), QStringLiteral("column \"name \""));
    QCOMPARE(fields->item(1, 1)->text(), QStringLiteral("typed in the main window: \"\""));
    QCOMPARE(fields->item(2, 1)->text(), QStringLiteral("typed in the main window: \"555-1234\""));
    QCOMPARE(child<QLabel>(list, QStringLiteral("lblUnmatched"))->text(),
             QStringLiteral("Columns that match no field: \"Town\""));
    QCOMPARE(child<QLabel>(list, QStringLiteral("lblRowCount"))->text(), QStringLiteral("4 rows in people.csv"));
    QCOMPARE(child<QTableWidget>(list, QStringLiteral("tblRows"))->item(2, 1)->text(), QStringLiteral("Bari"));
    QCOMPARE(child<QLineEdit>(list, QStringLiteral("txtSaveName"))->text(), QStringLiteral("{Name}"));
    for (const auto &[name, spoken] : {std::pair{"chkPrint_1", "Print Letter"}, {"chkSave_2", "Save Card"},
                                       {"chkSave_3", nullptr}, {"cmdPreview", "Preview"}}) {
        QWidget *box = child<QWidget>(list, QLatin1String(name));
        const QString expected = spoken ? QLatin1String(spoken) : QStringLiteral("Save ") + book();
        QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name), expected);
    }

    QWidget *summary = nullptr;
    runAndWaitForSummary(list, &summary);
    QVERIFY(summary);
    QCOMPARE(child<QLabel>(summary, QStringLiteral("lblCounts"))->text(),
             QStringLiteral("Rows done: 4 of 4\nCopies saved: 6\nRecords added: 3\nProblems: 1"));
    auto *problems = child<QListWidget>(summary, QStringLiteral("lstProblems"));
    QCOMPARE(problems->count(), 1);
    QVERIFY2(problems->item(0)->text().startsWith(QStringLiteral("Row 5: the save name \"../x\" cannot be used")),
             qPrintable(problems->item(0)->text()));
    // A clash within the batch gets a numbered name; the typed value fills the rest.
    const QString docs = m_home->documents();
    QCOMPARE(readFile(docs + QStringLiteral("Ann (2)-Letter.txt")), QByteArray("Dear Ann of , call 555-1234."));
    QCOMPARE(readFile(docs + QStringLiteral("Bob-Card.txt")), QByteArray("Bob"));
    QCOMPARE(readFile(book()).count('\n'), 5); // header, markers, three records

    QTest::mouseClick(child<QPushButton>(summary, QStringLiteral("cmdOpenFolder")), Qt::LeftButton);
    QCOMPARE(m_started, QStringList{QStringLiteral("xdg-open ") + docs});
}

void TestListForm::cancelStopsAfterTheRowUnderWay()
{
    constexpr int kRows = 3000;
    QByteArray csv = "Name\n";
    for (int r = 0; r < kRows; ++r)
        csv += "P" + QByteArray::number(r) + '\n';
    QWidget *list = nullptr;
    pickList(csv, &list);
    QVERIFY(list);
    auto *ok = child<QPushButton>(list, QStringLiteral("cmdOK"));
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Space);
    QWidget *progress = nullptr;
    QTRY_VERIFY((progress = topWindow("ListRunForm")));
    auto *bar = child<QProgressBar>(progress, QStringLiteral("barProgress"));
    QTRY_VERIFY(bar->value() > 0);
    QVERIFY(child<QLabel>(progress, QStringLiteral("lblRow"))->text().endsWith(QStringLiteral(" of 3000")));
    QTest::keyClick(child<QPushButton>(progress, QStringLiteral("cmdCancel")), Qt::Key_Space);
    QWidget *summary = nullptr;
    QTRY_VERIFY((summary = topWindow("ListSummaryForm")));
    const QString counts = child<QLabel>(summary, QStringLiteral("lblCounts"))->text();
    const int done = counts.section(QLatin1Char(' '), 2, 2).toInt();
    QVERIFY2(done > 0 && done < kRows && counts.contains(QStringLiteral(" (cancelled)")), qPrintable(counts));
    // Every row before the cancel is complete, none after it started.
    const QString docs = m_home->documents();
    QCOMPARE(QDir(docs).entryList(QDir::Files).size(), 2 * done);
    QVERIFY(QFile::exists(docs + QStringLiteral("P%1-Card.txt").arg(done - 1)));
    QVERIFY(!QFile::exists(docs + QStringLiteral("P%1-Letter.txt").arg(done)));
    QCOMPARE(readFile(book()).count('\n'), 2 + done);
    QVERIFY(counts.contains(QStringLiteral("Records added: %1\n").arg(done)));
}

void TestListForm::badListIsShownBeforeAnything_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("shown");
    QTest::newRow("unterminated quote") << QByteArray("Name,City\nAnn,Rome\n\"Bob,Oslo\n") << QStringLiteral("line 3");
    QTest::newRow("duplicate header") << QByteArray("Name, name \nAnn,Ann\n") << QStringLiteral("line 1");
    QTest::newRow("bad bytes") << QByteArray("Name\nM\xC3\xBCller\nM\xFC\n") << QStringLiteral("line 3");
}

void TestListForm::badListIsShownBeforeAnything()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, shown);
    QWidget *list = nullptr;
    pickList(csv, &list);
    QVERIFY(!list);
    QCOMPARE(Ask::records().size(), 1);
    QVERIFY2(Ask::records().first().text.contains(shown), qPrintable(Ask::records().first().text));
    QVERIFY(QDir(m_home->documents()).isEmpty());
    QCOMPARE(readFile(book()), QByteArray("Name,City\r\n&Name&,&City&\r\n"));
}

QTEST_MAIN(TestListForm)
#include "tst_listform.moc"
