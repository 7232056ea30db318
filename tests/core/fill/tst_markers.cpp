#include "core/fill/markers.h"

#include <QTest>

using Markers::ReplaceFieldMarkers;

namespace {
QByteArray fill(const QByteArray &text, const QString &ext, const QStringList &names, const QStringList &values)
{
    // A value the document cannot hold leaves the text as it was.
    const Result<QByteArray> filled = ReplaceFieldMarkers(text, ext, names, values);
    return filled ? *filled : text;
}
const QStringList kName{QStringLiteral("Name")};
const QStringList kAnn{QStringLiteral("Ann")};
} // namespace

class TestMarkers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void substitution_data();
    void substitution();
    void entityFormOnlyOutsideRtf();
    void valueHoldingItsOwnMarker();
    void earlierValueFilledByLaterField();
    void richTextEscaping_data();
    void richTextEscaping();
    void markupAndPlainValues();
    void controlWordGetsBlank_data();
    void controlWordGetsBlank();
    void parRuleInOtherFiles();
    void lineBreaksAndUnfitCharacters_data();
    void lineBreaksAndUnfitCharacters();
};

void TestMarkers::substitution_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("two occurrences") << QByteArray("Dear &Name&, &Name& is") << QStringLiteral("Ann")
                                     << QByteArray("Dear Ann, Ann is");
    QTest::newRow("letter case") << QByteArray("&name& &NAME&") << QStringLiteral("Ann") << QByteArray("&name& &NAME&");
    QTest::newRow("unknown field") << QByteArray("&Phone& &Name&") << QStringLiteral("Ann") << QByteArray("&Phone& Ann");
    QTest::newRow("empty value") << QByteArray("x&Name&y") << QString() << QByteArray("xy");
    QTest::newRow("inside a word") << QByteArray("ab&Name&cd") << QStringLiteral("Ann") << QByteArray("abAnncd");
    QTest::newRow("adjacent") << QByteArray("&Name&&Name&") << QStringLiteral("A") << QByteArray("AA");
    QTest::newRow("no markers") << QByteArray("plain & simple") << QStringLiteral("A") << QByteArray("plain & simple");
    QTest::newRow("empty text") << QByteArray() << QStringLiteral("A") << QByteArray();
    QTest::newRow("bytes kept") << QByteArray("\xe9\x00\xff&Name&\r\n", 11) << QStringLiteral("A")
                                << QByteArray("\xe9\x00\xff" "A\r\n", 6);
}

void TestMarkers::substitution()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(fill(text, QStringLiteral(".txt"), kName, {value}), expected);
}

void TestMarkers::entityFormOnlyOutsideRtf()
{
    QCOMPARE(fill("<p>&amp;Name&amp;</p>", QStringLiteral(".htm"), kName, kAnn), QByteArray("<p>Ann</p>"));
    QCOMPARE(fill("&amp;Name&amp;", QStringLiteral(".rtf"), kName, kAnn), QByteArray("&amp;Name&amp;"));
    // Both forms present: only the plain form is replaced.
    QCOMPARE(fill("&Name& &amp;Name&amp;", QStringLiteral(".txt"), kName, kAnn), QByteArray("Ann &amp;Name&amp;"));
    // The entity check is exact about ".rtf": an upper-case extension is not rich text for it.
    QCOMPARE(fill("&amp;Name&amp;", QStringLiteral(".RTF"), kName, kAnn), QByteArray("Ann"));
}

void TestMarkers::valueHoldingItsOwnMarker()
{
    QCOMPARE(fill("[&Name&][&Name&]", QStringLiteral(".txt"), kName, {QStringLiteral("&Name&")}),
             QByteArray("[&Name&][&Name&]"));
}

void TestMarkers::earlierValueFilledByLaterField()
{
    const QStringList names{QStringLiteral("A"), QStringLiteral("B")};
    QCOMPARE(fill("&A&", QStringLiteral(".txt"), names, {QStringLiteral("x&B&y"), QStringLiteral("b")}),
             QByteArray("xby"));
    // The other way round a later value is never searched by an earlier field.
    QCOMPARE(fill("&B&", QStringLiteral(".txt"), names, {QStringLiteral("a"), QStringLiteral("&A&")}),
             QByteArray("&A&"));
}

void TestMarkers::richTextEscaping_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("braces and backslash") << QStringLiteral("a{b}\\c") << QByteArray("a\\{b\\}\\\\c");
    QTest::newRow("latin") << QString::fromUtf8("é") << QByteArray("\\u233?");
    QTest::newRow("euro") << QString::fromUtf8("€5") << QByteArray("\\u8364?5");
    QTest::newRow("above 32767") << QString(QChar(0xFF01)) << QByteArray("\\u-255?");
    QTest::newRow("outside the BMP") << QString::fromUtf8("😀") << QByteArray("\\u-10179?\\u-8704?");
}

void TestMarkers::richTextEscaping()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(fill("[&Name&]", QStringLiteral(".rtf"), kName, {value}), "[" + expected + "]");
}

void TestMarkers::markupAndPlainValues()
{
    const QString v = QString::fromUtf8("<b>Tom & Jerry</b> é");
    QCOMPARE(fill("&Name&", QStringLiteral(".html"), kName, {v}),
             QByteArray("&lt;b&gt;Tom &amp; Jerry&lt;/b&gt; \xc3\xa9"));
    QCOMPARE(fill("&Name&", QStringLiteral(".XML"), kName, {v}), QByteArray("&lt;b&gt;Tom &amp; Jerry&lt;/b&gt; \xc3\xa9"));
    QCOMPARE(fill("&Name&", QStringLiteral(".txt"), kName, {v}), v.toUtf8());
    QCOMPARE(fill("&Name&", QString(), kName, {QStringLiteral("a\\b{")}), QByteArray("a\\b{"));
}

void TestMarkers::controlWordGetsBlank_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("par") << QByteArray("\\par&Name&") << QByteArray("\\par Ann");
    QTest::newRow("bold") << QByteArray("{\\b&Name&}") << QByteArray("{\\b Ann}");
    QTest::newRow("with number") << QByteArray("\\fs24&Name&") << QByteArray("\\fs24 Ann");
    QTest::newRow("negative number") << QByteArray("\\li-360&Name&") << QByteArray("\\li-360 Ann");
    QTest::newRow("already delimited") << QByteArray("\\par &Name&") << QByteArray("\\par Ann");
    QTest::newRow("escaped backslash") << QByteArray("\\\\par&Name&") << QByteArray("\\\\parAnn");
    QTest::newRow("control symbol") << QByteArray("\\{&Name&") << QByteArray("\\{Ann");
    QTest::newRow("plain text") << QByteArray("Dear&Name&") << QByteArray("DearAnn");
}

void TestMarkers::controlWordGetsBlank()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(fill(text, QStringLiteral(".rtf"), kName, kAnn), expected);
}

void TestMarkers::parRuleInOtherFiles()
{
    QCOMPARE(fill("\\par&Name&", QStringLiteral(".txt"), kName, kAnn), QByteArray("\\par Ann"));
    QCOMPARE(fill("C:\\dir&Name&", QStringLiteral(".txt"), kName, kAnn), QByteArray("C:\\dirAnn"));
}

// Each format gets a value's line breaks the way its readers show them;
// markup refuses what XML cannot hold, text formats keep it.
void TestMarkers::lineBreaksAndUnfitCharacters_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected"); // empty: refused
    const QString lines = QStringLiteral("12 Main St\r\nSpringfield\nUSA\rEarth");
    const QString unfit = QStringLiteral("a") + QChar(0xFFFE);
    QTest::newRow("rtf") << QStringLiteral(".rtf") << lines + QStringLiteral("\tx")
                         << QByteArray("\\par 12 Main St\\line Springfield\\line USA\\line Earth\\tab x");
    QTest::newRow("html") << QStringLiteral(".htm") << lines
                          << QByteArray("\\par 12 Main St<br>Springfield<br>USA<br>Earth");
    QTest::newRow("xml keeps the line ends") << QStringLiteral(".xml") << lines << ("\\par " + lines.toUtf8());
    QTest::newRow("text keeps the line ends") << QStringLiteral(".txt") << lines << ("\\par " + lines.toUtf8());
    QTest::newRow("html refuses U+FFFE") << QStringLiteral(".html") << unfit << QByteArray();
    QTest::newRow("html refuses a control character") << QStringLiteral(".htm") << QStringLiteral("\x1b") << QByteArray();
    QTest::newRow("rtf keeps U+FFFE") << QStringLiteral(".rtf") << unfit << QByteArray("\\par a\\u-2?");
    QTest::newRow("text keeps a control character")
        << QStringLiteral(".txt") << QStringLiteral("\x1b[1m") << QByteArray("\\par \x1b[1m");
}

void TestMarkers::lineBreaksAndUnfitCharacters()
{
    QFETCH(QString, extension);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    const Result<QByteArray> filled = ReplaceFieldMarkers("\\par&Name&", extension, kName, {value});
    if (expected.isEmpty()) {
        QVERIFY(!filled);
        QVERIFY2(filled.error().startsWith(QStringLiteral("The value of the field Name holds a character that documents "
                                                          "cannot hold (U+")),
                 qPrintable(filled.error()));
        return;
    }
    QVERIFY2(filled, qPrintable(filled.error()));
    QCOMPARE(*filled, expected);
}

QTEST_GUILESS_MAIN(TestMarkers)
#include "tst_markers.moc"
