#include "tests/core/render/rtftesthelpers.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextTable>

using namespace RtfTest;

// Tables: cells in their columns, widths, nesting; and input made to
// break a reader (sizes at which a reader slower than linear would not
// finish within the test's time).
class TestRtfTables : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cellsKeepTheirColumns();
    void columnWidthsFollowCellx();
    void nestedTables();
    void mergedCells();
    void headersAndFootnotesKeepTheirOwnTables();
    void overlongRowGoesOnBelow();
    void longTableIsWrittenInPieces();
    void pathologicalInput_data();
    void pathologicalInput();
    void longWordBreaks();
    void tooMuchTextIsCutAndSaysSo();
};

namespace {
QByteArray row(const QList<QByteArray> &cells, int width = 1000)
{
    QByteArray r = "\\trowd";
    for (int i = 1; i <= cells.size(); ++i)
        r += "\\cellx" + QByteArray::number(i * width);
    r += "\\pard\\intbl ";
    for (const QByteArray &cell : cells)
        r += cell + "\\cell ";
    return r + "\\row ";
}
} // namespace

void TestRtfTables::cellsKeepTheirColumns()
{
    const auto doc = read("{\\rtf1 Before\\par" + row({"", "B1", "C1"}) + row({"", "", ""}) + row({"A3", "", "C3"})
                          + "\\pard After\\par}");
    const QList<QTextTable *> tables = tablesIn(doc->rootFrame());
    QCOMPARE(tables.size(), 1);
    QTextTable *table = tables.first();
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 3);
    const QStringList expected = QStringLiteral(",B1,C1,,,,A3,,C3").split(QLatin1Char(','));
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(cellText(table, i / 3, i % 3), expected[i]);
    QVERIFY(doc->find(QStringLiteral("After")).position() > table->lastPosition());
}

void TestRtfTables::columnWidthsFollowCellx()
{
    const auto doc = read("{\\rtf1\\trowd\\trleft-108\\clbrdrt\\brdrs\\cellx1440\\cellx4320\\cellx5040"
                          "\\pard\\intbl a\\cell b\\cell c\\cell\\row}");
    QTextTable *table = tablesIn(doc->rootFrame()).value(0);
    QVERIFY(table);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 3);
    // 1440 twips an inch, 96 document units an inch
    QCOMPARE(widths[0], QTextLength(QTextLength::FixedLength, (1440 + 108) / 15.0)); // from \\trleft
    QCOMPARE(widths[1], QTextLength(QTextLength::FixedLength, 192));
    QCOMPARE(widths[2], QTextLength(QTextLength::FixedLength, 48));
    QVERIFY(table->format().border() > 0);
}

void TestRtfTables::headersAndFootnotesKeepTheirOwnTables()
{
    // The body's row is defined before the header, which defines a row of
    // its own; a footnote in a body cell is no part of the table.
    RtfReader::Document doc = RtfReader::readDocument(
        "{\\rtf1\\trowd\\clbrdrt\\brdrs\\cellx1500\\cellx3000"
        "{\\header\\trowd\\cellx4500\\cellx9000\\pard\\intbl Left\\cell Right\\cell\\row\\pard Under\\par}"
        "{\\footer\\pard\\intbl Unfinished\\cell}"
        "\\pard\\intbl A{\\footnote Note text\\par}\\cell B\\cell\\row\\pard After\\par}");
    QVERIFY(doc.header);
    const QList<QTextTable *> head = tablesIn(doc.header->rootFrame());
    QCOMPARE(head.size(), 1);
    QCOMPARE(head[0]->columns(), 2);
    QCOMPARE(cellText(head[0], 0, 0), QStringLiteral("Left"));
    QCOMPARE(cellText(head[0], 0, 1), QStringLiteral("Right"));
    QCOMPARE(head[0]->format().columnWidthConstraints().value(1).rawValue(), 300.0); // 4500 twips
    QVERIFY(doc.header->toPlainText().endsWith(QStringLiteral("Under")));
    // A footer ending inside a row keeps what it read.
    QVERIFY(doc.footer);
    QCOMPARE(tablesIn(doc.footer->rootFrame()).size(), 1);
    QVERIFY(doc.footer->toPlainText().contains(QStringLiteral("Unfinished")));

    const QList<QTextTable *> body = tablesIn(doc.body->rootFrame());
    QCOMPARE(body.size(), 1);
    QCOMPARE(body[0]->rows(), 1);
    QCOMPARE(body[0]->columns(), 2);
    QCOMPARE(body[0]->format().columnWidthConstraints().value(0).rawValue(), 100.0); // 1500 twips
    QCOMPARE(cellText(body[0], 0, 0), QStringLiteral("A"));
    QCOMPARE(cellText(body[0], 0, 1), QStringLiteral("B"));
    const QString text = doc.body->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("After")) && text.trimmed().endsWith(QStringLiteral("Note text")),
             qPrintable(text));
}

void TestRtfTables::nestedTables()
{
    // As Word writes them: the inner rows' definitions follow their cells,
    // and readers without nesting get the \nonesttables text instead.
    const QByteArray rtf =
        "{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl\\itap1 Outer A\\par"
        "\\pard\\intbl\\itap2 In1\\nestcell In2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
        "{\\nonesttables\\par In1 In2 fallback}"
        "\\pard\\intbl\\itap2 \\nestcell In4\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
        "{\\nonesttables\\par}"
        "\\pard\\intbl\\itap1 \\cell Outer B\\cell\\trowd\\cellx3000\\cellx6000\\row"
        "\\pard After}";
    const auto doc = read(rtf);
    QVERIFY(!doc->toPlainText().contains(QStringLiteral("fallback")));
    const QList<QTextTable *> outer = tablesIn(doc->rootFrame());
    QCOMPARE(outer.size(), 1);
    QCOMPARE(outer[0]->rows(), 1);
    QCOMPARE(outer[0]->columns(), 2);
    QVERIFY(cellText(outer[0], 0, 0).startsWith(QStringLiteral("Outer A")));
    QCOMPARE(cellText(outer[0], 0, 1), QStringLiteral("Outer B"));
    const QList<QTextTable *> inner = tablesIn(outer[0]);
    QCOMPARE(inner.size(), 1);
    QTextTable *in = inner[0];
    QCOMPARE(in->rows(), 2);
    QCOMPARE(in->columns(), 2);
    QVERIFY(in->firstPosition() > outer[0]->cellAt(0, 0).firstPosition());
    QVERIFY(in->lastPosition() < outer[0]->cellAt(0, 1).firstPosition());
    QCOMPARE(cellText(in, 0, 0), QStringLiteral("In1"));
    QCOMPARE(cellText(in, 0, 1), QStringLiteral("In2"));
    QCOMPARE(cellText(in, 1, 0), QString());
    QCOMPARE(cellText(in, 1, 1), QStringLiteral("In4"));
    QVERIFY(doc->find(QStringLiteral("After")).position() > outer[0]->lastPosition());
}

void TestRtfTables::mergedCells()
{
    // A heading across two columns; a name down two rows.
    const auto doc = read("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000"
                          "\\pard\\intbl Heading\\cell\\cell Third\\cell\\row"
                          "\\trowd\\clvmgf\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl Ann\\cell b2\\cell c2\\cell\\row"
                          "\\trowd\\clvmrg\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl\\cell b3\\cell c3\\cell\\row}");
    QTextTable *table = tablesIn(doc->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 3);
    QCOMPARE(table->cellAt(0, 0).columnSpan(), 2);
    QCOMPARE(table->cellAt(0, 1).firstPosition(), table->cellAt(0, 0).firstPosition());
    QCOMPARE(cellText(table, 0, 2), QStringLiteral("Third"));
    QCOMPARE(table->cellAt(1, 0).rowSpan(), 2);
    QCOMPARE(cellText(table, 2, 0), QStringLiteral("Ann"));
    QCOMPARE(cellText(table, 2, 1), QStringLiteral("b3"));
    QCOMPARE(table->cellAt(1, 1).rowSpan(), 1);
}

// More cells than any word processor puts in a row: the row goes on
// below in rows as wide as the widest table, every cell in order.
void TestRtfTables::overlongRowGoesOnBelow()
{
    QList<QByteArray> cells;
    for (int i = 0; i < 130; ++i)
        cells << "c" + QByteArray::number(i);
    const auto doc = read("{\\rtf1 " + row(cells, 20) + "\\pard after}");
    QTextTable *table = tablesIn(doc->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->rows(), 3);
    const int columns = table->columns();
    QVERIFY2(columns >= 40 && columns < 130, qPrintable(QString::number(columns)));
    for (int i = 0; i < 130; ++i)
        QCOMPARE(cellText(table, i / columns, i % columns), QStringLiteral("c%1").arg(i));
    QCOMPARE(cellText(table, 2, columns - 1), QString());
}

// A long table becomes several tables, for the layout's sake, that read
// and look as the one: every row in order, a cell merged down across the
// place of a cut kept whole, no space between the pieces.
void TestRtfTables::longTableIsWrittenInPieces()
{
    QByteArray rtf = "{\\rtf1 ";
    for (int r = 0; r < 400; ++r) {
        const QByteArray merge = r == 99 ? "\\clvmgf" : (r == 100 || r == 101) ? "\\clvmrg" : "";
        rtf += "\\trowd\\clbrdrt\\brdrs" + merge + "\\cellx1000\\cellx2000\\pard\\intbl "
               + (r == 99 ? "Down" : merge.isEmpty() ? "a" + QByteArray::number(r) : "") + "\\cell b"
               + QByteArray::number(r) + "\\cell\\row ";
    }
    const auto doc = read(rtf + "\\pard after}");
    const QList<QTextTable *> pieces = tablesIn(doc->rootFrame());
    QVERIFY(pieces.size() > 1);
    int row = 0;
    for (QTextTable *piece : pieces) {
        QCOMPARE(piece->columns(), 2);
        for (int r = 0; r < piece->rows(); ++r, ++row)
            QCOMPARE(cellText(piece, r, 1).remove(QChar(0x200B)), QStringLiteral("b%1").arg(row));
    }
    QCOMPARE(row, 400);
    QTextTable *first = pieces[0];
    QVERIFY(first->rows() > 101);
    QCOMPARE(first->cellAt(99, 0).rowSpan(), 3);
    QCOMPARE(cellText(first, 99, 0).remove(QChar(0x200B)), QStringLiteral("Down"));

    doc->setPageSize(QSizeF(600, 1e9));
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const auto rowTop = [layout](QTextTable *piece, int r) {
        return layout->blockBoundingRect(piece->cellAt(r, 1).firstCursorPosition().block()).top();
    };
    QVERIFY(pieces[0]->format().border() > 0);
    // Rows across the cut are as far apart as any two rows: the pieces'
    // frame borders lie over their cells' borders.
    const qreal pitch = rowTop(pieces[0], 2) - rowTop(pieces[0], 1);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const qreal across = rowTop(pieces[i], 0) - rowTop(pieces[i - 1], pieces[i - 1]->rows() - 1);
        QVERIFY2(qAbs(across - pitch) <= 1, qPrintable(QStringLiteral("%1 for %2").arg(across).arg(pitch)));
    }
}

void TestRtfTables::pathologicalInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("mustShow");
    QTest::newRow("100,000 nested groups")
        << QByteArray("{\\rtf1 start ") + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " end}"
        << QStringLiteral("start deep end");
    QTest::newRow("20,000 columns") << "{\\rtf1 " + row(QList<QByteArray>(20000, "x"), 10) + "\\pard after}"
                                    << QStringLiteral("after");
    QByteArray mergedDown = "\\trowd";
    for (int i = 1; i <= 60; ++i)
        mergedDown += "\\clvmgf\\clvmrg\\cellx" + QByteArray::number(i * 100);
    mergedDown += "\\pard\\intbl " + QByteArray("m\\cell ").repeated(60) + "\\row ";
    QTest::newRow("every cell merged down") << "{\\rtf1 " + mergedDown.repeated(400) + "\\pard after}"
                                            << QStringLiteral("after");
    QTest::newRow("5,000 rows") << "{\\rtf1 " + row({"a", "b", "c"}).repeated(5000) + "\\pard after}"
                                << QStringLiteral("after");
    QTest::newRow("\\bin past the end") << QByteArray("{\\rtf1 shown\\bin999999999 abc") << QStringLiteral("shown");
    QTest::newRow("huge \\bin") << "{\\rtf1 before {\\pict\\pngblip\\bin30000000 " + QByteArray(30000000, '{')
                                       + "} after}"
                                << QStringLiteral("before");
    QTest::newRow("nested tables past the limit")
        << "{\\rtf1 " + QByteArray("\\pard\\intbl\\itap1000 deep\\nestcell{\\*\\nesttableprops\\trowd\\cellx99\\nestrow}")
                               .repeated(100)
               + "\\pard after}"
        << QStringLiteral("after");
}

void TestRtfTables::pathologicalInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, mustShow);
    const RtfReader::Document doc = RtfReader::readDocument(rtf);
    QVERIFY2(doc.body->toPlainText().contains(mustShow), qPrintable(doc.body->toPlainText().left(200)));
    doc.body->setPageSize(QSizeF(600, 800));
    QVERIFY(doc.body->pageCount() >= 1); // lays out, in time
}

void TestRtfTables::longWordBreaks()
{
    const QByteArray word(2000000, 'w');
    const RtfReader::Document doc = RtfReader::readDocument("{\\rtf1 " + word + "}");
    QVERIFY(!doc.truncated);
    doc.body->setPageSize(QSizeF(600, 800));
    QVERIFY(doc.body->pageCount() > 10);
    const QTextBlock block = doc.body->firstBlock();
    QCOMPARE(block.text().remove(QChar(0x200B)), QString::fromLatin1(word));
    // Broken over lines of the page's width, not one line far too wide.
    QVERIFY(block.layout()->lineCount() > 10000);
    QVERIFY(doc.body->documentLayout()->documentSize().width() <= 600);
}

void TestRtfTables::tooMuchTextIsCutAndSaysSo()
{
    const RtfReader::Document doc = RtfReader::readDocument("{\\rtf1 start " + QByteArray(6000000, 'w') + " end}");
    QVERIFY(doc.truncated);
    QVERIFY(doc.body->characterCount() < 6000000);
    QVERIFY(doc.body->toPlainText().startsWith(QStringLiteral("start ")));
    QVERIFY(!RtfReader::readDocument("{\\rtf1 " + QByteArray(100000, 'w') + "}").truncated);
}

QTEST_MAIN(TestRtfTables)
#include "tst_rtftables.moc"
