#include "ui/fill/confirmform.h"
#include "ui/fill/previewform.h"
#include "core/workspace.h"
#include "tests/support/guihelpers.h"
#include "tests/support/calcmodule.h"
#include "tests/support/testhome.h"
#include "tests/core/render/rtftesthelpers.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfView>
#include <QProcess>
#include <QPushButton>

namespace {
// Three pages with a header, filled from two fields.
const QByteArray kLetter = "{\\rtf1\\paperw12240\\paperh15840\\margl1440\\margr1440{\\header\\pard Quillmate &Name&\\par}"
                           "\\pard\\fs28 Dear &Name& of &City&,\\par \\pard\\qc {\\b A centred line}\\par"
                           "\\page Page two\\page Page three\\par}";

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

// The confirmation window of a one-document model, values typed.
QWidget *confirmFor(Workspace &workspace, const TestHome &home, const QString &file, const QByteArray &content)
{
    writeFile(home.appFolder() + QStringLiteral("Sample Model.mod"), " 2 \r\nName\r\nCity\r\n 1 \r\nLetter\r\n 0 \r\n");
    writeFile(home.appFolder() + file, content);
    MainForm *main = startProgram(workspace);
    setEntryText(main, 1, QStringLiteral("Ann"));
    setEntryText(main, 2, QStringLiteral("Lisbon"));
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    return topWindow("ConfirmForm");
}

QPdfDocument *pagesShown(QWidget *preview)
{
    auto *view = child<QPdfView>(preview, QStringLiteral("pdfView"));
    return view ? view->document() : nullptr;
}

QString pageLabel(QWidget *preview) { return child<QLabel>(preview, QStringLiteral("lblPage"))->text(); }

// On white paper: the page comes without a background.
QImage pageImage(QPdfDocument *document, int page)
{
    const QImage drawn = document->render(page, document->pagePointSize(page).toSize());
    QImage paper(drawn.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter(&paper).drawImage(0, 0, drawn);
    return paper;
}
} // namespace

using RtfTest::darkPixels;

// The preview: the first ticked document filled with the typed values, as
// the pages it would print, with nothing printed or saved.
class TestPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Ask::setScripted(true); }
    void cleanup();
    void pagesWithNavigationAndZoom_data();
    void pagesWithNavigationAndZoom();
    void documentWithoutFileIsAProblem();
    void previewedPagesAreThePrintedPages();
    void officeDocumentThroughTheOffice();

private:
    Workspace m_workspace;
};

void TestPreview::cleanup()
{
    closeAllWindows();
    qunsetenv("TMPDIR");
}

void TestPreview::pagesWithNavigationAndZoom_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("pages");
    QTest::newRow("rich text, three pages") << QStringLiteral("Letter.rtf") << kLetter << 3;
    QTest::newRow("plain text") << QStringLiteral("Letter.txt") << QByteArray("Dear &Name& of &City&,\r\n") << 1;
    QTest::newRow("html") << QStringLiteral("Letter.htm")
                          << QByteArray("<html><body><p>Dear &amp;Name&amp; of &amp;City&amp;,</p></body></html>") << 1;
}

void TestPreview::pagesWithNavigationAndZoom()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, pages);
    TestHome home;
    const QString temp = home.path() + QStringLiteral("tmp");
    QVERIFY(QDir().mkpath(temp));
    qputenv("TMPDIR", QFile::encodeName(temp));
    QWidget *confirm = confirmFor(m_workspace, home, file, content);
    QVERIFY(confirm);
    // A save is ticked and named: the preview still saves nothing.
    child<QCheckBox>(confirm, QStringLiteral("chkSave_1"))->setChecked(true);
    child<QLineEdit>(confirm, QStringLiteral("txtSaveName"))->setText(QStringLiteral("Smith"));
    const QStringList before = filesUnder(home.path());

    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("cmdPreview")), Qt::LeftButton);
    QWidget *preview = topWindow("PreviewForm");
    QVERIFY2(preview, qPrintable(lastMessage()));
    QCOMPARE(preview->windowTitle(), QStringLiteral("Preview"));
    QTRY_VERIFY(preview->isActiveWindow()); // its keys work from the start
    QPdfDocument *shown = pagesShown(preview);
    QCOMPARE(shown->pageCount(), pages);
    QCOMPARE(pageLabel(preview), QStringLiteral("Page 1 of %1").arg(pages));
    const QString text = shown->getAllText(0).text().simplified();
    QVERIFY2(text.contains(QStringLiteral("Dear Ann of Lisbon,")), qPrintable(text));
    auto *next = child<QPushButton>(preview, QStringLiteral("cmdNext"));
    auto *previous = child<QPushButton>(preview, QStringLiteral("cmdPrevious"));
    QVERIFY(!previous->isEnabled());
    QCOMPARE(next->isEnabled(), pages > 1);
    if (pages == 3) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        QCOMPARE(pageLabel(preview), QStringLiteral("Page 2 of 3"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(pageLabel(preview), QStringLiteral("Page 3 of 3"));
        QVERIFY(!next->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
        QCOMPARE(pageLabel(preview), QStringLiteral("Page 2 of 3"));
        QCOMPARE(qobject_cast<PreviewForm *>(preview)->currentPage(), 1);
    }
    auto *view = child<QPdfView>(preview, QStringLiteral("pdfView"));
    const qreal zoom = view->zoomFactor();
    QTest::mouseClick(child<QPushButton>(preview, QStringLiteral("cmdZoomIn")), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(preview, QStringLiteral("cmdZoomIn")), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(qFuzzyCompare(view->zoomFactor(), zoom * 1.25));
    QCOMPARE(child<QLabel>(preview, QStringLiteral("lblZoom"))->text(),
             QStringLiteral("%1 %").arg(qRound(zoom * 125)));

    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QCOMPARE(filesUnder(home.path()), before); // nothing saved, no temporary file left
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!topWindow("PreviewForm"));
}

void TestPreview::documentWithoutFileIsAProblem()
{
    TestHome home;
    QWidget *confirm = confirmFor(m_workspace, home, QStringLiteral("Other.rtf"), kLetter);
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("cmdPreview")), Qt::LeftButton);
    QCOMPARE(lastTitle(), QStringLiteral("Problem"));
    QCOMPARE(lastMessage(), QStringLiteral("There is no file for the document Letter"));
    QVERIFY(!topWindow("PreviewForm"));
    QVERIFY(child<QPushButton>(confirm, QStringLiteral("cmdPreview"))->isEnabled()); // and it can be tried again
}

namespace {
// No job waiting or printing in the test spooler.
bool spoolerIdle()
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o")});
    return lpstat.waitForFinished(10000) && lpstat.exitCode() == 0 && lpstat.readAllStandardOutput().trimmed().isEmpty();
}
} // namespace

void TestPreview::previewedPagesAreThePrintedPages()
{
    const QString out = qEnvironmentVariable("QLT_TEST_PRINT_OUT");
    if (out.isEmpty())
        QSKIP("no test print spooler (scripts/test.sh starts one)");
    TestHome home;
    QWidget *confirm = confirmFor(m_workspace, home, QStringLiteral("Letter.rtf"), kLetter);
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("cmdPreview")), Qt::LeftButton);
    QWidget *preview = topWindow("PreviewForm");
    QVERIFY2(preview, qPrintable(lastMessage()));
    QPdfDocument *previewed = pagesShown(preview);

    // Jobs of earlier tests, finished or still under way, are not ours.
    QTRY_VERIFY_WITH_TIMEOUT(spoolerIdle(), 30000);
    const QStringList earlier = QDir(out).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(Ask::records().isEmpty(), qPrintable(lastMessage()));
    QString job;
    QTRY_VERIFY_WITH_TIMEOUT(!(job = [&] {
        for (const QFileInfo &fi : QDir(out).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
            if (!earlier.contains(fi.fileName()) && fi.size() > 0)
                return fi.filePath();
        return QString();
    }()).isEmpty(), 30000);
    QPdfDocument printed;
    QTRY_COMPARE(printed.load(job), QPdfDocument::Error::None); // the spooler may still be writing it
    QCOMPARE(previewed->pageCount(), printed.pageCount());
    for (int page = 0; page < printed.pageCount(); ++page) {
        const QImage seen = pageImage(previewed, page);
        const QImage paper = pageImage(&printed, page);
        QCOMPARE(seen.size(), paper.size());
        const int dark = darkPixels(paper);
        QVERIFY(dark > 100); // something was printed
        const int differ = darkPixels(seen, &paper);
        QVERIFY2(differ <= dark / 50, qPrintable(QStringLiteral("page %1: %2 of %3 dark pixels differ")
                                                      .arg(page + 1).arg(differ).arg(dark)));
    }
}

void TestPreview::officeDocumentThroughTheOffice()
{
    if (qEnvironmentVariableIsEmpty("QLT_PREVIEW_OFFICE"))
        QSKIP("starts the office: run as tst_preview_office");
    TestHome home;
    for (const QString &f : {QStringLiteral("Sample Model.mod"), QStringLiteral("Sample Doc.docx")})
        QVERIFY(TestHome::copyData(f, home.appFolder()));
    MainForm *main = startProgram(m_workspace);
    setEntryText(main, 1, QStringLiteral("Ann"));
    setEntryText(main, 2, QStringLiteral("Zebrowski"));
    QTest::mouseClick(child<QPushButton>(main, QStringLiteral("butOK")), Qt::LeftButton);
    QWidget *confirm = topWindow("ConfirmForm");
    QVERIFY(confirm);
    const QStringList before = filesUnder(home.appFolder()) + filesUnder(home.documents());
    QTest::mouseClick(child<QPushButton>(confirm, QStringLiteral("cmdPreview")), Qt::LeftButton);
    QWidget *preview = topWindow("PreviewForm");
    QVERIFY2(preview, qPrintable(lastMessage()));
    QPdfDocument *shown = pagesShown(preview);
    QVERIFY(shown->pageCount() >= 1);
    QCOMPARE(pageLabel(preview), QStringLiteral("Page 1 of %1").arg(shown->pageCount()));
    const QString text = shown->getAllText(0).text();
    QVERIFY2(text.contains(QStringLiteral("Ann")) && text.contains(QStringLiteral("Zebrowski")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("&First Name&")), qPrintable(text));
    QCOMPARE(filesUnder(home.appFolder()) + filesUnder(home.documents()), before);
    // The window's office ends with it, and writes its profile as it ends:
    // inside this home, before the home goes.
    closeAllWindows();
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
