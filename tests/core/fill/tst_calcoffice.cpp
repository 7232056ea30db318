#include "core/fill/calcmodule.h"
#include "ui/fill/confirmform.h"
#include "core/fill/engines.h"
#include "core/fill/sheetfill.h"
#include "tests/core/fill/officetools.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QCheckBox>
#include <QLibrary>
#include <QPushButton>

// The office a fill run starts for itself and ends with it, and the
// boundary of the module that drives it.
namespace {
class CountingRun : public RunContext {
public:
    mutable int officesWhileFilling = -1;
    void showWait(const QString &) override { waitShown = true; }
    QString fieldValue(int j) const override
    {
        officesWhileFilling = ourOffices();
        return QStringList{QStringLiteral("Ann"), QStringLiteral("Rome")}.value(j - 1);
    }
};
} // namespace

class TestCalcOffice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanupTestCase() { closeAllWindows(); }
    void moduleAnswersInsteadOfThrowing();
    void eachRunStartsAndEndsItsOffice();
    void sampleModelThroughConfirmWindow();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestCalcOffice::moduleAnswersInsteadOfThrowing()
{
    QLibrary module(SystemEngines::calcModulePath());
    auto create = reinterpret_cast<CalcModule::CreateOffice>(module.resolve(QLT_CALC_ENTRY));
    QVERIFY2(create, qPrintable(module.errorString()));
    const auto office = create();
    QVERIFY2(office, qPrintable(office.error()));
    // Before its office is started nothing can be opened: an answer, not an exception.
    const auto book = (*office)->open(QStringLiteral("/nonexistent/any.xls"));
    QVERIFY(!book);
    QCOMPARE(book.error(), QStringLiteral("LibreOffice Calc is not started"));
}

void TestCalcOffice::eachRunStartsAndEndsItsOffice()
{
    TestHome home;
    auto runAlone = [&home](qint16 sheet, CountingRun &run) {
        const QString book = home.path() + QStringLiteral("row.xls");
        writeFile(book, readFile(QStringLiteral(QLT_WORKBOOKS_DIR "row.xls")));
        QStringList messages;
        SystemEngines engines; // as a fill run of the program: an office of its own
        SheetFill::ProcessSpreadsheet({book, sheet}, home.appFolder(), {QStringLiteral("Name"), QStringLiteral("City")},
                                      run, engines,
                                      [&messages](const QString &text, const QString &) { messages << text; });
        return messages;
    };
    CountingRun filled;
    QVERIFY(runAlone(1, filled).isEmpty());
    QCOMPARE(filled.officesWhileFilling, 1);
    QCOMPARE(ourOffices(), 0);
    CountingRun failed;
    QCOMPARE(runAlone(3, failed).size(), 1);
    QCOMPARE(ourOffices(), 0);
}

void TestCalcOffice::sampleModelThroughConfirmWindow()
{
    TestHome home;
    for (const char *f : {"Sample Model.mod", "Sample Spreadsheet.xls"})
        QVERIFY(TestHome::copyData(QLatin1String(f), home.appFolder()));
    // As installed: the model names the spreadsheet in the app folder.
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"),
              " 5 \r\nFirst Name\r\nLast Name\r\nAddress\r\nCity\r\nDate\r\n 0 \r\n 1 \r\n" + home.appFolder().toUtf8()
                  + "Sample Spreadsheet.xls\r\n 1 \r\n");
    MainForm *main = startProgram(m_workspace);
    const QStringList values{QStringLiteral("Ann"), QStringLiteral("Zebrowski"), QStringLiteral("1 Quill Lane"),
                             QStringLiteral("Lisbon"), QStringLiteral("2026-12-07")};
    for (int i = 1; i <= 5; ++i)
        setEntryText(main, i, values[i - 1]);
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    QVERIFY(child<QCheckBox>(confirm, QStringLiteral("chkSave_1"))->isChecked());
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    // The window's office serves its later runs too, and ends with it.
    QCOMPARE(ourOffices(), 1);
    confirm->close();
    QCOMPARE(ourOffices(), 0);
    const QString book = home.appFolder() + QStringLiteral("Sample Spreadsheet.xls");
    QCOMPARE(exportedRows(book, 3, 5, home.path()), (QStringList{QStringLiteral("First Name,Last Name,Address,City,Date"),
                                                          values.join(QLatin1Char(',')),
                                                          QStringLiteral("&First Name&,&Last Name&,&Address&,&City&,&Date&")}));
}

QTEST_MAIN(TestCalcOffice)
#include "tst_calcoffice.moc"
