#include "core/fill/runcontext.h"
#include "core/fill/xmlmarkers.h"

#include <QTest>

using XmlMarkers::Dialect;

Q_DECLARE_METATYPE(XmlMarkers::Dialect)

namespace {
const QStringList kFields{QStringLiteral("First Name"), QStringLiteral("City")};
const QStringList kValues{QStringLiteral("Ann"), QStringLiteral("Paris")};

QByteArray wordBody(const QByteArray &runs) { return "<w:body><w:p>" + runs + "</w:p></w:body>"; }
QByteArray run(const char *props, const char *text)
{
    return QByteArray("<w:r>") + props + "<w:t>" + text + "</w:t></w:r>";
}
} // namespace

class TestXmlMarkers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fillsSplitMarkers_data();
    void fillsSplitMarkers();
    void keepsTheTextAroundAndValuesAreEscaped();
    void sequenceFollowsTheModelOrder_data();
    void sequenceFollowsTheModelOrder();
    void textBoxParagraphsStandAlone();
    void damagedMarkupIsRefused_data();
    void damagedMarkupIsRefused();
    void lineBreaksAndTabsBecomeElements_data();
    void lineBreaksAndTabsBecomeElements();
    void unfitCharactersAreRefused_data();
    void unfitCharactersAreRefused();
};

void TestXmlMarkers::fillsSplitMarkers_data()
{
    QTest::addColumn<Dialect>("dialect");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QByteArray>("expected");
    const char *bold = "<w:rPr><w:b/></w:rPr>";
    const char *italic = "<w:rPr><w:i/></w:rPr>";

    QTest::newRow("word, one run") << Dialect::Word << wordBody(run("", "Dear &amp;First Name&amp;,"))
                                   << wordBody(run("", "Dear Ann,"));
    QTest::newRow("word, two runs, value takes the first run's format")
        << Dialect::Word << wordBody(run(bold, "Dear &amp;First") + run(italic, " Name&amp;!"))
        << wordBody(run(bold, "Dear Ann") + run(italic, "!"));
    QTest::newRow("word, three runs")
        << Dialect::Word << wordBody(run(bold, "&amp;Fi") + run(italic, "rst Na") + run("", "me&amp; x"))
        << wordBody(run(bold, "Ann") + run(italic, "") + "<w:r><w:t xml:space=\"preserve\"> x</w:t></w:r>");
    QTest::newRow("word, _GoBack bookmark inside")
        << Dialect::Word
        << wordBody(run("", "&amp;First ") + "<w:bookmarkStart w:id=\"0\" w:name=\"_GoBack\"/><w:bookmarkEnd w:id=\"0\"/>"
                    + run("", "Name&amp;"))
        << wordBody(run("", "Ann") + "<w:bookmarkStart w:id=\"0\" w:name=\"_GoBack\"/><w:bookmarkEnd w:id=\"0\"/>"
                    + run("", ""));
    QTest::newRow("word, proofing marks")
        << Dialect::Word
        << wordBody("<w:proofErr w:type=\"spellStart\"/>" + run("", "&amp;City")
                    + "<w:proofErr w:type=\"spellEnd\"/>" + run("", "&amp;."))
        << wordBody("<w:proofErr w:type=\"spellStart\"/>" + run("", "Paris") + "<w:proofErr w:type=\"spellEnd\"/>"
                    + run("", "."));
    QTest::newRow("word, inside an insertion")
        << Dialect::Word
        << wordBody(run("", "At ") + "<w:ins w:id=\"1\" w:author=\"A\">" + run("", "&amp;Ci") + "</w:ins>"
                    + run("", "ty&amp;"))
        << wordBody(run("", "At ") + "<w:ins w:id=\"1\" w:author=\"A\">" + run("", "Paris") + "</w:ins>" + run("", ""));
    QTest::newRow("word, deleted text is not visible")
        << Dialect::Word
        << wordBody(run("", "&amp;Ci") + "<w:del><w:r><w:delText>X</w:delText></w:r></w:del>" + run("", "ty&amp;"))
        << wordBody(run("", "Paris") + "<w:del><w:r><w:delText>X</w:delText></w:r></w:del>" + run("", ""));
    QTest::newRow("word, a tab breaks a marker")
        << Dialect::Word << wordBody(run("", "&amp;Ci") + "<w:r><w:tab/></w:r>" + run("", "ty&amp;"))
        << wordBody(run("", "&amp;Ci") + "<w:r><w:tab/></w:r>" + run("", "ty&amp;"));
    QTest::newRow("word, no marker across paragraphs")
        << Dialect::Word << QByteArray("<w:p><w:r><w:t>&amp;City</w:t></w:r></w:p><w:p><w:r><w:t>&amp;</w:t></w:r></w:p>")
        << QByteArray("<w:p><w:r><w:t>&amp;City</w:t></w:r></w:p><w:p><w:r><w:t>&amp;</w:t></w:r></w:p>");
    QTest::newRow("odf, spans")
        << Dialect::OpenDocument
        << QByteArray("<text:p text:style-name=\"P1\">Hi <text:span text:style-name=\"T1\">&amp;First</text:span> "
                      "Name&amp;<text:bookmark text:name=\"b\"/>!</text:p>")
        << QByteArray("<text:p text:style-name=\"P1\">Hi <text:span text:style-name=\"T1\">Ann</text:span>"
                      "<text:bookmark text:name=\"b\"/>!</text:p>");
    QTest::newRow("odf, heading and entity references")
        << Dialect::OpenDocument << QByteArray("<text:h text:outline-level=\"1\">&#38;City&#x26;</text:h>")
        << QByteArray("<text:h text:outline-level=\"1\">Paris</text:h>");
    QTest::newRow("odf, across a blank element")
        << Dialect::OpenDocument << QByteArray("<text:p>&amp;First<text:s/>Name&amp;<text:s text:c=\"3\"/>x</text:p>")
        << QByteArray("<text:p>Ann<text:s text:c=\"3\"/>x</text:p>");
    QTest::newRow("odf, a tab breaks a marker")
        << Dialect::OpenDocument << QByteArray("<text:p>&amp;Ci<text:tab/>ty&amp;</text:p>")
        << QByteArray("<text:p>&amp;Ci<text:tab/>ty&amp;</text:p>");
    QTest::newRow("odf, unknown field stays")
        << Dialect::OpenDocument << QByteArray("<text:p>&amp;Phone&amp;</text:p>")
        << QByteArray("<text:p>&amp;Phone&amp;</text:p>");
}

void TestXmlMarkers::fillsSplitMarkers()
{
    QFETCH(Dialect, dialect);
    QFETCH(QByteArray, xml);
    QFETCH(QByteArray, expected);
    QCOMPARE(XmlMarkers::fill(xml, dialect, kFields, kValues).value(), expected);
}

void TestXmlMarkers::keepsTheTextAroundAndValuesAreEscaped()
{
    const QString awkward = QStringLiteral("A&B <c> \"d\" 'e' Café 東京");
    const QByteArray word = wordBody(run("", "x&amp;Ci") + run("<w:rPr><w:b/></w:rPr>", "ty&amp;y"));
    const QByteArray filled = XmlMarkers::fill(word, Dialect::Word, kFields, {QString(), awkward}).value();
    QCOMPARE(XmlMarkers::paragraphs(filled, Dialect::Word).value(), QStringList{QStringLiteral("x") + awkward + QStringLiteral("y")});
    QVERIFY(filled.contains("A&amp;B &lt;c&gt;"));

    const QByteArray odf = "<text:p>&amp;City&amp;</text:p>";
    const QByteArray odfFilled = XmlMarkers::fill(odf, Dialect::OpenDocument, kFields, {QString(), awkward}).value();
    QCOMPARE(XmlMarkers::paragraphs(odfFilled, Dialect::OpenDocument).value(), QStringList{awkward});

    // A value with blanks at its ends keeps them in Word.
    const QByteArray spaced = XmlMarkers::fill(wordBody(run("", "&amp;City&amp;")), Dialect::Word, kFields,
                                               {QString(), QStringLiteral(" P ")}).value();
    QCOMPARE(spaced, wordBody("<w:r><w:t xml:space=\"preserve\"> P </w:t></w:r>"));
}

void TestXmlMarkers::sequenceFollowsTheModelOrder_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("expected");
    QTest::newRow("contiguous") << QByteArray("&First Name&&City&") << kValues << QStringLiteral("AnnParis");
    QTest::newRow("value holds its own marker")
        << QByteArray("&City&-&City&") << QStringList{QString(), QStringLiteral("&City&")}
        << QStringLiteral("&City&-&City&");
    QTest::newRow("earlier value holds a later marker")
        << QByteArray("&First Name&") << QStringList{QStringLiteral("at &City&"), QStringLiteral("Rome")}
        << QStringLiteral("at Rome");
    QTest::newRow("entity form only when the plain one is missing")
        << QByteArray("&amp;City&amp;") << kValues << QStringLiteral("Paris");
    QTest::newRow("plain form wins over the entity form")
        << QByteArray("&City& &amp;City&amp;") << kValues << QStringLiteral("Paris &amp;City&amp;");
    QTest::newRow("empty value removes the marker") << QByteArray("x&City&y") << QStringList{} << QStringLiteral("xy");
}

void TestXmlMarkers::sequenceFollowsTheModelOrder()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, values);
    QFETCH(QString, expected);
    // The visible text is split in the middle into two runs, so the rules
    // are seen to hold across runs as well.
    const auto escaped = [](QByteArray t) { return t.replace("&", "&amp;"); };
    const qsizetype middle = text.size() / 2;
    const QByteArray xml = wordBody(run("", escaped(text.left(middle)).constData())
                                    + run("", escaped(text.mid(middle)).constData()));
    const QByteArray filled = XmlMarkers::fill(xml, Dialect::Word, kFields, values).value();
    QCOMPARE(XmlMarkers::paragraphs(filled, Dialect::Word).value().join(QString()), expected);
}

void TestXmlMarkers::textBoxParagraphsStandAlone()
{
    // A text box sits inside a run of an outer paragraph; its paragraphs
    // are filled on their own and the outer text around it still joins.
    const QByteArray xml = "<w:p><w:r><w:t>&amp;Ci</w:t></w:r><w:r><w:pict><w:txbxContent><w:p><w:r><w:t>"
                           "&amp;First Name&amp;</w:t></w:r></w:p></w:txbxContent></w:pict></w:r><w:r><w:t>"
                           "ty&amp;</w:t></w:r></w:p>";
    const QByteArray filled = XmlMarkers::fill(xml, Dialect::Word, kFields, kValues).value();
    QCOMPARE(XmlMarkers::paragraphs(filled, Dialect::Word).value(), (QStringList{QStringLiteral("Paris"), QStringLiteral("Ann")}));
}

void TestXmlMarkers::damagedMarkupIsRefused_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("cut off in a tag") << QByteArray("<w:p><w:r><w:t>&amp;City&amp;</w:t></w:r></w:p><w:p");
    QTest::newRow("paragraph never closed") << QByteArray("<w:p><w:r><w:t>&amp;City&amp;</w:t>");
    QTest::newRow("unknown entity") << QByteArray("<w:p><w:r><w:t>&amp;City&nbsp;</w:t></w:r></w:p>");
}

void TestXmlMarkers::damagedMarkupIsRefused()
{
    QFETCH(QByteArray, xml);
    const Result<QByteArray> filled = XmlMarkers::fill(xml, Dialect::Word, kFields, kValues);
    QVERIFY(!filled.ok());
    QCOMPARE(filled.error(), QStringLiteral("The document's markup is damaged"));
}

void TestXmlMarkers::lineBreaksAndTabsBecomeElements_data()
{
    QTest::addColumn<Dialect>("dialect");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray br = "</w:t><w:br/><w:t xml:space=\"preserve\">";
    QTest::newRow("word, LF, in the marker's run")
        << Dialect::Word << wordBody(run("<w:rPr><w:b/></w:rPr>", "&amp;City&amp;"))
        << QStringLiteral("12 Main St\nSpringfield")
        << wordBody("<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">12 Main St" + br + "Springfield</w:t></w:r>");
    QTest::newRow("word, CR LF, CR and a tab, text around")
        << Dialect::Word << wordBody(run("", "x &amp;City&amp; y")) << QStringLiteral("a\r\nb\rc\td")
        << wordBody("<w:r><w:t xml:space=\"preserve\">x a" + br + "b" + br
                    + "c</w:t><w:tab/><w:t xml:space=\"preserve\">d y</w:t></w:r>");
    QTest::newRow("odf, in a span")
        << Dialect::OpenDocument << QByteArray("<text:p><text:span text:style-name=\"T1\">&amp;City&amp;</text:span></text:p>")
        << QStringLiteral("a\r\nb\tc")
        << QByteArray("<text:p><text:span text:style-name=\"T1\">a<text:line-break/>b<text:tab/>c</text:span></text:p>");
    QTest::newRow("odf, a field holds plain text only")
        << Dialect::OpenDocument << QByteArray("<text:p><text:author-name>&amp;City&amp;</text:author-name></text:p>")
        << QStringLiteral("a\nb") << QByteArray("<text:p><text:author-name>a b</text:author-name></text:p>");
    QTest::newRow("odf, the part's own line ends stay")
        << Dialect::OpenDocument << QByteArray("<text:p>\n&amp;City&amp;\n</text:p>") << QStringLiteral("a")
        << QByteArray("<text:p>\na\n</text:p>");
}

void TestXmlMarkers::lineBreaksAndTabsBecomeElements()
{
    QFETCH(Dialect, dialect);
    QFETCH(QByteArray, xml);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(XmlMarkers::fill(xml, dialect, kFields, {QString(), value}).value(), expected);
}

void TestXmlMarkers::unfitCharactersAreRefused_data()
{
    QTest::addColumn<Dialect>("dialect");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("code"); // empty: the value is written
    const auto u = [](char16_t c) { return QString(QChar(c)); };
    QTest::newRow("U+FFFE") << Dialect::Word << QStringLiteral("a") + u(0xFFFE) << QStringLiteral("FFFE");
    QTest::newRow("U+FFFF, odf") << Dialect::OpenDocument << u(0xFFFF) << QStringLiteral("FFFF");
    QTest::newRow("a control character") << Dialect::Word << QStringLiteral("a\x01" "b") << QStringLiteral("0001");
    QTest::newRow("vertical tab, odf") << Dialect::OpenDocument << QStringLiteral("a\vb") << QStringLiteral("000B");
    QTest::newRow("unpaired surrogate") << Dialect::Word << QStringLiteral("x") + u(0xD800) << QStringLiteral("D800");
    QTest::newRow("paired surrogates fit") << Dialect::Word << QString::fromUtf8("😀") << QString();
    QTest::newRow("U+FFFD fits") << Dialect::OpenDocument << u(0xFFFD) << QString();
}

void TestXmlMarkers::unfitCharactersAreRefused()
{
    QFETCH(Dialect, dialect);
    QFETCH(QString, value);
    QFETCH(QString, code);
    const QByteArray xml = dialect == Dialect::Word ? wordBody(run("", "&amp;City&amp;"))
                                                    : QByteArray("<text:p>&amp;City&amp;</text:p>");
    const Result<QByteArray> filled = XmlMarkers::fill(xml, dialect, kFields, {value, value});
    if (code.isEmpty()) {
        QCOMPARE(XmlMarkers::paragraphs(filled.value(), dialect).value(), QStringList{value});
        return;
    }
    QVERIFY(!filled.ok());
    QCOMPARE(filled.error(),
             QStringLiteral("The value of the field City holds a character that documents cannot hold (U+") + code + QLatin1Char(')'));
    // A field whose marker the part does not hold is never refused.
    QVERIFY(XmlMarkers::fill(xml, dialect, kFields, {value, QStringLiteral("P")}).ok());
}

QTEST_GUILESS_MAIN(TestXmlMarkers)
#include "tst_xmlmarkers.moc"
