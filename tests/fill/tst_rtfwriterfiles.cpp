#include "core/render/printdocument.h"
#include "tests/fill/rtftesthelpers.h"

#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace RtfTest;

// Rich text as LibreOffice Writer saves it (tests/fill/data/writer-nested.fodt
// saved as writer-nested.rtf): a table nested in a cell, whose own row
// definitions must not change the columns of the row around it, empty
// cells, hidden text, a numbered list, text beyond Windows-1252, and A4
// landscape paper. And (writer-merged.html saved as writer-merged.rtf)
// rows that divide the width differently, and a scaled JPEG picture.
class TestRtfWriterFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nestedTable();
    void textAndLists();
    void printed();
    void cellsFollowTheirEdges();
};

namespace {
RtfReader::Document readFixture(const char *name)
{
    QFile f(QStringLiteral(RTF_FIXTURES) + QLatin1String(name));
    return RtfReader::readDocument(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
}

QList<qreal> widths(QTextTable *table)
{
    QList<qreal> result;
    for (const QTextLength &width : table->format().columnWidthConstraints())
        result << width.rawValue();
    return result;
}
} // namespace

void TestRtfWriterFiles::nestedTable()
{
    const RtfReader::Document doc = readFixture("writer-nested.rtf");
    const QList<QTextTable *> tables = tablesIn(doc.body->rootFrame());
    QCOMPARE(tables.size(), 1);
    QTextTable *outer = tables[0];
    QCOMPARE(outer->rows(), 2);
    QCOMPARE(outer->columns(), 2);
    QCOMPARE(widths(outer), (QList<qreal>{384, 192})); // four inches and two
    QVERIFY(cellText(outer, 0, 0).startsWith(QStringLiteral("Outer A")));
    QCOMPARE(cellText(outer, 1, 0), QString());
    QCOMPARE(cellText(outer, 1, 1), QStringLiteral("Outer D"));

    const QList<QTextTable *> nested = tablesIn(outer);
    QCOMPARE(nested.size(), 1);
    QTextTable *inner = nested[0];
    QVERIFY(inner->firstPosition() > outer->cellAt(0, 0).firstPosition());
    QVERIFY(inner->lastPosition() < outer->cellAt(0, 0).lastPosition());
    QCOMPARE(widths(inner), (QList<qreal>{144, 144}));
    QCOMPARE(cellText(inner, 0, 0), QStringLiteral("In1"));
    QCOMPARE(cellText(inner, 0, 1), QStringLiteral("In2"));
    QCOMPARE(cellText(inner, 1, 0), QString());
    QCOMPARE(cellText(inner, 1, 1), QStringLiteral("In4"));
}

void TestRtfWriterFiles::textAndLists()
{
    const RtfReader::Document doc = readFixture("writer-nested.rtf");
    QTextDocument *body = doc.body.get();
    const QString text = body->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("After the tables. Shown text, H2O.")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("secret")));
    QTextCursor two = body->find(QStringLiteral("H2O"));
    two.setPosition(two.selectionStart() + 2);
    QCOMPARE(two.charFormat().verticalAlignment(), QTextCharFormat::AlignSubScript);

    QVERIFY(text.contains(QStringLiteral("1.\tFirst point\n 2.\tSecond point")));
    const QTextBlockFormat item = blockWith(body, QStringLiteral("Second point")).blockFormat();
    QCOMPARE(item.leftMargin(), 48.0); // half an inch, the label hanging a quarter inch
    QCOMPARE(item.textIndent(), -24.0);
    QVERIFY(text.contains(QString::fromUtf8("Japanese 日本語の文章, Chinese 中文文本, Thai ภาษาไทย, "
                                            "Hebrew עברית, Euro €.")));
    QCOMPARE(qRound(doc.page.paper.width()), 842);
    QCOMPARE(qRound(doc.page.paper.height()), 595);
    QVERIFY(doc.page.landscape);
    QCOMPARE(doc.page.margins, QMarginsF(72, 72, 72, 72));
}

void TestRtfWriterFiles::printed()
{
    RtfReader::Document doc = readFixture("writer-nested.rtf");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    {
        QPdfWriter writer(path);
        writer.setPageLayout(PrintDocument::pageLayout(doc.page, QPageSize(QPageSize::Letter)));
        QCOMPARE(PrintDocument::paint(doc, &writer), 1);
    }
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    QVERIFY(info.waitForFinished(60000));
    const QString pages = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(pages.contains(QStringLiteral("842 x 595 pts")), qPrintable(pages));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    // The nested table's cells side by side, beside the outer table's second column.
    QVERIFY2(printed.contains(QRegularExpression(QStringLiteral("In1 +In2"))), qPrintable(printed));
    QVERIFY(printed.contains(QStringLiteral("Outer D")));
    QVERIFY(printed.contains(QStringLiteral("Euro €")));
    QVERIFY(!printed.contains(QStringLiteral("secret")));
}

void TestRtfWriterFiles::cellsFollowTheirEdges()
{
    const RtfReader::Document doc = readFixture("writer-merged.rtf");
    QTextTable *table = tablesIn(doc.body->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->rows(), 4);
    QCOMPARE(table->columns(), 3);
    // The heading row has two right edges, the others three.
    QCOMPARE(table->cellAt(0, 0).columnSpan(), 2);
    QCOMPARE(cellText(table, 0, 0), QStringLiteral("Wide heading"));
    QCOMPARE(cellText(table, 0, 2), QStringLiteral("Third"));
    QCOMPARE(table->cellAt(1, 0).rowSpan(), 2);
    QCOMPARE(cellText(table, 1, 0), QStringLiteral("Tall"));
    QCOMPARE(cellText(table, 2, 1), QStringLiteral("b3"));
    QCOMPARE(cellText(table, 2, 2), QStringLiteral("c3"));
    QCOMPARE(cellText(table, 3, 0), QString());
    QCOMPARE(cellText(table, 3, 2), QStringLiteral("last"));
    const QList<qreal> columns = widths(table);
    QCOMPARE(columns.size(), 3);
    qreal total = 0;
    for (const qreal width : columns)
        total += width;
    QVERIFY2(qAbs(total - 600) < 3, qPrintable(QString::number(total))); // the table's 600 pixels

    // 40 by 20 pixels, drawn three times as large; its metafile copy left out.
    QCOMPARE(doc.body->toPlainText().count(QChar::ObjectReplacementCharacter), 1);
    const QTextImageFormat image = doc.body->find(QString(QChar::ObjectReplacementCharacter)).charFormat().toImageFormat();
    QCOMPARE(qRound(image.width()), 120);
    QCOMPARE(qRound(image.height()), 60);
    QCOMPARE(doc.body->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>().size(), QSize(40, 20));
}

QTEST_MAIN(TestRtfWriterFiles)
#include "tst_rtfwriterfiles.moc"
