#include "ui/fill/confirmform.h"
#include "core/fill/runcontext.h"
#include "core/render/pdfcopy.h"
#include "tests/core/fill/packagetools.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>

namespace {
QString runTool(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString &pdf) { return runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}); }
QString pdfInfo(const QString &pdf) { return runTool(QStringLiteral("pdfinfo"), {pdf}); }

QAction *pdfItem(MainForm *main) { return main->findChild<QAction *>(QStringLiteral("mnuSavePdfCopies")); }

void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2)); }

const QByteArray kA4Letter = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\paperw11906\\paperh16838"
                             "\\margl1134\\margr1134\\margt1134\\margb1134\n\\pard Dear &Name& of &City&\\par}";
} // namespace

class TestPdfCopy : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup() { closeAllWindows(); }
    void menuItemIsRemembered();
    void savedDocumentsGetPdfCopies();
    void noCopiesUnlessAsked();
    void packageCopyComesFromTheOffice();

private:
    Workspace m_workspace; // the workspace the windows are handed
};

void TestPdfCopy::menuItemIsRemembered()
{
    TestHome home;
    MainForm *main = startProgram(m_workspace);
    const QString ini = home.appFolder() + QStringLiteral("qlt.ini");
    const QByteArray iniBefore = readFile(ini);
    QAction *item = pdfItem(main);
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Save &PDF Copies"));
    QVERIFY(item->isCheckable() && item->isEnabled() && !item->isChecked());
    auto *configure = main->findChild<QMenu *>(QStringLiteral("mnuConfigure"));
    QVERIFY(configure->menuAction()->isEnabled());
    QVERIFY(!main->findChild<QAction *>(QStringLiteral("mnuCompanyInfo"))->isEnabled());

    item->trigger();
    QVERIFY(item->isChecked());
    QVERIFY(readFile(home.path() + QStringLiteral(".config/Quillmate/QLT.conf")).contains("SavePdfCopies=true"));
    QCOMPARE(readFile(ini), iniBefore);

    // The next start of the program shows the choice as it was left.
    main = startProgram(m_workspace);
    QVERIFY(pdfItem(main)->isChecked());
    pdfItem(main)->trigger();
    main = startProgram(m_workspace);
    QVERIFY(!pdfItem(main)->isChecked());
}

void TestPdfCopy::savedDocumentsGetPdfCopies()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"),
              " 2 \r\nName\r\nCity\r\n 3 \r\nLetter\r\nInvoice\r\nNote\r\n 0 \r\n");
    writeFile(home.appFolder() + QStringLiteral("Letter.rtf"), kA4Letter);
    writeFile(home.appFolder() + QStringLiteral("Invoice.txt"), "To &Name&, &City&");
    writeFile(home.appFolder() + QStringLiteral("Note.htm"), "<html><body><p>Note for &amp;Name&amp;</p></body></html>");
    PdfCopy::setEnabled(true);
    MainForm *main = startProgram(m_workspace);
    setEntryText(main, 1, QStringLiteral("Zoë <&>"));
    setEntryText(main, 2, QStringLiteral("Rome"));
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    for (int n : {1, 2, 3}) {
        click(child<QCheckBox>(confirm, QStringLiteral("chkPrint_%1").arg(n)));
        click(child<QCheckBox>(confirm, QStringLiteral("chkSave_%1").arg(n)));
    }
    QTest::keyClicks(child<QLineEdit>(confirm, QStringLiteral("txtSaveName")), QStringLiteral("Smith"));
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));

    const QString docs = home.documents();
    QVERIFY(QFileInfo::exists(docs + QStringLiteral("Smith-Letter.rtf")));
    const QString letter = pdfText(docs + QStringLiteral("Smith-Letter.pdf"));
    QVERIFY2(letter.contains(QStringLiteral("Dear Zoë <&> of Rome")), qPrintable(letter));
    // The rich text's own A4 page, not the default Letter.
    const QString info = pdfInfo(docs + QStringLiteral("Smith-Letter.pdf"));
    QVERIFY2(info.contains(QStringLiteral("595 x 842 pts")), qPrintable(info));
    QVERIFY(pdfText(docs + QStringLiteral("Smith-Invoice.pdf")).contains(QStringLiteral("To Zoë <&>, Rome")));
    QVERIFY(pdfText(docs + QStringLiteral("Smith-Note.pdf")).contains(QStringLiteral("Note for Zoë <&>")));
}

void TestPdfCopy::noCopiesUnlessAsked()
{
    TestHome home;
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), " 1 \r\nName\r\n 1 \r\nLetter\r\n 0 \r\n");
    writeFile(home.appFolder() + QStringLiteral("Letter.rtf"), kA4Letter);
    MainForm *main = startProgram(m_workspace);
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    click(child<QCheckBox>(confirm, QStringLiteral("chkPrint_1")));
    click(child<QCheckBox>(confirm, QStringLiteral("chkSave_1")));
    QTest::keyClicks(child<QLineEdit>(confirm, QStringLiteral("txtSaveName")), QStringLiteral("S"));
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(QFileInfo::exists(home.documents() + QStringLiteral("S-Letter.rtf")));
    QVERIFY(!QFileInfo::exists(home.documents() + QStringLiteral("S-Letter.pdf")));
}

void TestPdfCopy::packageCopyComesFromTheOffice()
{
    if (!PackageTools::haveOffice())
        QSKIP("LibreOffice is not installed");
    TestHome home;
    const QString rtf = home.path() + QStringLiteral("S-Letter.rtf");
    QByteArray filled = kA4Letter;
    writeFile(rtf, filled.replace("&Name&", "Ann").replace("&City&", "Caf\\'e9"));
    QVERIFY(PackageTools::officeConvert({rtf}, QStringLiteral("odt"), home.path()));
    const Status copied = PdfCopy::saveBeside(home.path() + QStringLiteral("S-Letter.odt"));
    QVERIFY2(copied.ok(), qPrintable(copied.error()));
    const QString text = pdfText(home.path() + QStringLiteral("S-Letter.pdf"));
    QVERIFY2(text.contains(QStringLiteral("Dear Ann of Café")), qPrintable(text));

    // Without an office there is no copy, and the step says so.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    QFile::remove(home.path() + QStringLiteral("S-Letter.pdf"));
    const Status refused = PdfCopy::saveBeside(home.path() + QStringLiteral("S-Letter.odt"));
    QVERIFY(!refused.ok());
    QVERIFY(!refused.error().isEmpty());
    qputenv("PATH", path);
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("S-Letter.pdf")));
}

QTEST_MAIN(TestPdfCopy)
#include "tst_pdfcopy.moc"
