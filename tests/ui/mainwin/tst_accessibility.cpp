#include "ui/dialogs/waitform.h"
#include "ui/fill/confirmform.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// What a screen reader hears, and the windows used with the keyboard alone.
namespace {
const QByteArray kModel = " 3 \r\nName\r\nCity\r\nR&D Code\r\n 2 \r\nLetter\r\nInvoice\r\n 1 \r\n/nowhere/Book.xls\r\n 1 \r\n";

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no widget>");
}

// Presses Tab until `target` has the focus; false when it never comes.
bool tabTo(QWidget *target)
{
    for (int i = 0; i < 30 && !target->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return target->hasFocus();
}
} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("CUPS_SERVER", "/nonexistent/cups.sock"); }
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }
    void namesScreenReadersHear();
    void fillWithTheKeyboardAlone();
    void tabReachesRowsOffThePage();

private:
    Workspace m_workspace;
};

void TestAccessibility::namesScreenReadersHear()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), kModel);
    MainForm *main = startProgram(m_workspace);
    const QStringList fields{QStringLiteral("Name"), QStringLiteral("City"), QStringLiteral("R&D Code")};
    for (int i = 1; i <= 3; ++i) {
        auto *box = child<QLineEdit>(main, QStringLiteral("txtWord_%1").arg(i));
        QCOMPARE(accessibleName(box), fields[i - 1]);
        QCOMPARE(QAccessible::queryAccessibleInterface(box)->role(), QAccessible::EditableText);
        // The label shows the name as it is, "&" included.
        QCOMPARE(child<QLabel>(main, QStringLiteral("lblWord_%1").arg(i))->text(), fields[i - 1]);
    }
    // The label is the box's, for readers that follow the relation.
    auto *label = child<QLabel>(main, QStringLiteral("lblWord_1"));
    const auto relations = QAccessible::queryAccessibleInterface(child<QLineEdit>(main, QStringLiteral("txtWord_1")))
                               ->relations(QAccessible::Label);
    QVERIFY(!relations.isEmpty());
    QCOMPARE(relations.first().first->object(), label);

    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    const QList<QPair<QString, QString>> boxes{{QStringLiteral("chkPrint_1"), QStringLiteral("Print Letter")},
                                               {QStringLiteral("chkSave_1"), QStringLiteral("Save Letter")},
                                               {QStringLiteral("chkPrint_2"), QStringLiteral("Print Invoice")},
                                               {QStringLiteral("chkSave_3"), QStringLiteral("Save /nowhere/Book.xls")}};
    for (const auto &[name, heard] : boxes) {
        auto *box = child<QCheckBox>(confirm, name);
        QCOMPARE(accessibleName(box), heard);
        QCOMPARE(box->text(), name.startsWith(QStringLiteral("chkPrint")) ? QStringLiteral("Print  ") : QStringLiteral("Save "));
    }
    QCOMPARE(accessibleName(child<QPushButton>(confirm, QStringLiteral("cmdPreview"))), QStringLiteral("Preview"));

    // Each step of a run is heard as the wait window shows it.
    WaitForm *wait = WaitForm::instance();
    for (const QString &step : {QStringLiteral("Printing Letter"), QStringLiteral("Saving Smith-Letter.rtf")}) {
        wait->setAction(step);
        QCOMPARE(accessibleName(child<QLabel>(wait, QStringLiteral("lblAction"))), step);
        QCOMPARE(QAccessible::queryAccessibleInterface(wait)->text(QAccessible::Description), step);
    }
}

void TestAccessibility::fillWithTheKeyboardAlone()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), " 2 \r\nName\r\nCity\r\n 1 \r\nLetter\r\n 0 \r\n");
    writeFile(home.appFolder() + QStringLiteral("Letter.rtf"), "{\\rtf1 Dear &Name& of &City&\\par}");
    MainForm *main = startProgram(m_workspace);
    auto *first = child<QLineEdit>(main, QStringLiteral("txtWord_1"));
    QTRY_VERIFY(first->hasFocus());
    QTest::keyClicks(first, QStringLiteral("Ann"));
    QTest::keyClick(first, Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Lisbon"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // the last box's Enter is OK
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    QTRY_VERIFY(confirm->isActiveWindow());

    // Print off, Save on, a save name: Tab and Space only.
    QVERIFY(tabTo(child<QCheckBox>(confirm, QStringLiteral("chkPrint_1"))));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(tabTo(child<QCheckBox>(confirm, QStringLiteral("chkSave_1"))));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    auto *saveName = child<QLineEdit>(confirm, QStringLiteral("txtSaveName"));
    QVERIFY(tabTo(saveName));
    QTest::keyClicks(saveName, QStringLiteral("Smith"));

    // Preview, by Tab and Space; Escape closes it again.
    auto *previewButton = child<QPushButton>(confirm, QStringLiteral("cmdPreview"));
    QVERIFY(tabTo(previewButton));
    QTest::keyClick(previewButton, Qt::Key_Space);
    QWidget *preview = topWindow("PreviewForm");
    QVERIFY2(preview, qPrintable(lastMessage()));
    QTRY_VERIFY(preview->isActiveWindow());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!topWindow("PreviewForm"));
    QCOMPARE(QDir(home.documents()).entryList(QDir::Files), QStringList());

    // OK, by Tab and Return.
    QTRY_VERIFY(confirm->isActiveWindow());
    auto *ok = child<QPushButton>(confirm, QStringLiteral("Command1"));
    QVERIFY(tabTo(ok));
    QTest::keyClick(ok, Qt::Key_Return);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QCOMPARE(readFile(home.documents() + QStringLiteral("Smith-Letter.rtf")), QByteArray("{\\rtf1 Dear Ann of Lisbon\\par}"));
}

void TestAccessibility::tabReachesRowsOffThePage()
{
    TestHome home;
    QByteArray model = " 40 \r\n";
    for (int i = 1; i <= 40; ++i)
        model += "Field " + QByteArray::number(i) + "\r\n";
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), model + " 0 \r\n 0 \r\n");
    MainForm *main = startProgram(m_workspace);
    QVERIFY(main->scrollingOn());
    const auto box = [main](int i) { return child<QLineEdit>(main, QStringLiteral("txtWord_%1").arg(i)); };
    QTRY_VERIFY(box(1)->hasFocus());
    for (int i = 2; i <= 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(box(i)->hasFocus() && box(i)->isVisible(), qPrintable(QString::number(i)));
    }
    for (int i = 39; i >= 1; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY2(box(i)->hasFocus() && box(i)->isVisible(), qPrintable(QString::number(i)));
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
