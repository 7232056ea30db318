#include "tests/core/render/rtftesthelpers.h"

#include <QTest>

using namespace RtfTest;

// How bytes become characters: \bin data, code pages, \uN with its
// fallback, hidden text and list labels.
class TestRtfEncoding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void text_data();
    void text();
    void binaryDataIsSkipped();
    void fontCodePageFollowsTheFont();
};

void TestRtfEncoding::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    // code pages
    QTest::newRow("ansicpg 1250 (Polish)") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'a3\\'f3d\\'9f}")
                                          << QString::fromUtf8("Łódź");
    QTest::newRow("ansicpg 1251 (Cyrillic)") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cc\\'e8\\'f0}")
                                            << QString::fromUtf8("Мир");
    QTest::newRow("fcharset 161 (Greek)")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}}\\f1 \\'e1\\'e2\\f0 \\'e1}")
        << QString::fromUtf8("αβá");
    QTest::newRow("fcharset 222 (Thai)") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset222 Tahoma;}}\\f0 \\'a1\\'d2}")
                                         << QString::fromUtf8("กา");
    QTest::newRow("fcharset 128 double byte") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'93\\'fa\\'96\\'7b}")
                                              << QString::fromUtf8("日本");
    QTest::newRow("fcharset 134 lead byte and literal")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0 \\'d6\\'d0\\'ce\\'c4}") << QString::fromUtf8("中文");
    QTest::newRow("cpg of a font") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg1251 X;}}\\f0 \\'c0}") << QString::fromUtf8("А");
    QTest::newRow("mac") << QByteArray("{\\rtf1\\mac caf\\'8e}") << QString::fromUtf8("café");
    QTest::newRow("pc") << QByteArray("{\\rtf1\\pc \\'82\\'e1}") << QString::fromUtf8("éß");
    QTest::newRow("pca") << QByteArray("{\\rtf1\\pca \\'90\\'d5}") << QString::fromUtf8("Éı");
    QTest::newRow("symbol bullet") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}{\\f1 \\'b7}x}")
                                   << QString::fromUtf8("•x");
    // \uN and its fallback
    QTest::newRow("fallback byte inside a group") << QByteArray("{\\rtf1 a\\u8364{\\'80}b}") << QString::fromUtf8("a€b");
    QTest::newRow("uc scoped to its group") << QByteArray("{\\rtf1{\\uc2 \\u8364??}\\u8364?x}") << QString::fromUtf8("€€x");
    QTest::newRow("two hex fallbacks") << QByteArray("{\\rtf1\\uc2 \\u8364\\'80\\'80x}") << QString::fromUtf8("€x");
    QTest::newRow("group end stops skipping") << QByteArray("{\\rtf1\\uc3 {\\u8364}abc}") << QString::fromUtf8("€abc");
    QTest::newRow("fallback after a space") << QByteArray("{\\rtf1\\uc1\\u1055 ?\\u1088 ?}") << QString::fromUtf8("Пр");
    // hidden text and list labels
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 shown{\\v hidden} too\\v  gone\\v0  back}")
                                 << QStringLiteral("shown too back");
    QTest::newRow("plain ends hidden") << QByteArray("{\\rtf1\\v gone\\plain  back}") << QStringLiteral(" back");
    QTest::newRow("wordpad bullet")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
                      "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\f0 one\\par"
                      "{\\pntext\\f1\\'b7\\tab}two\\par}")
        << QString::fromUtf8("•\tone\n•\ttwo");
    QTest::newRow("listtext")
        << QByteArray("{\\rtf1\\pard{\\listtext 1.\\tab}first\\par{\\listtext 2.\\tab}second\\par}")
        << QStringLiteral("1.\tfirst\n2.\tsecond");
    QTest::newRow("pn numbers without pntext")
        << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}a\\par"
                      "{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}b\\par\\pard c}")
        << QStringLiteral("3.\ta\n4.\tb\nc");
    QTest::newRow("pn letters and roman")
        << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnlcltr\\pnstart26{\\pntxta )}}a\\par"
                      "{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta )}}b\\par"
                      "\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1994{\\pntxta .}}c\\par}")
        << QStringLiteral("z)\ta\naa)\tb\nMCMXCIV.\tc");
    QTest::newRow("pn bullet without pntext")
        << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlblt{\\pntxtb -}}a\\par}") << QStringLiteral("-\ta");
    // \ls lists: a list table of decimal "1." over "1.a)", a symbol-font
    // bullet, lower roman from iv followed by a space; \ls1 and \ls4 are
    // the first list counted apart.
    const QByteArray lists = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext \\'02\\'00.;}}"
                             "{\\listlevel\\levelnfc4{\\leveltext \\'04\\'00.\\'01);}}\\listid10}"
                             "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}\\listid20}"
                             "{\\list{\\listlevel\\levelnfc2\\levelstartat4\\levelfollow1{\\leveltext\\'02\\'00.;}}\\listid30}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid10\\ls1}{\\listoverride\\listid20\\ls2}"
                             "{\\listoverride\\listid30\\ls3}{\\listoverride\\listid10\\ls4}}";
    QTest::newRow("ls numbers by level, restarted under the next item")
        << lists + "\\pard\\ls1 A\\par\\ilvl1 B\\par C\\par\\pard\\ls1 D\\par\\ls1\\ilvl1 E\\par\\pard F}"
        << QStringLiteral("1.\tA\n1.a)\tB\n1.b)\tC\n2.\tD\n2.a)\tE\nF");
    QTest::newRow("ls bullet, roman, unknown list")
        << lists + "\\pard\\ls2 dot\\par\\pard\\ls3 four\\par\\pard\\ls9 none\\par}"
        << QStringLiteral("\u2022\tdot\niv. four\nnone");
    QTest::newRow("ls counted per override")
        << lists + "\\pard\\ls1 a\\par\\pard\\ls4 b\\par\\pard\\ls1 c\\par}" << QStringLiteral("1.\ta\n1.\tb\n2.\tc");
    QTest::newRow("ls with its listtext labelled once")
        << lists + "\\pard{\\listtext\\pard\\plain 7.\\tab}\\ls1 a\\par"
                   "\\trowd\\cellx900\\pard\\intbl\\ls2 cell\\cell\\row\\pard b}"
        << QStringLiteral("7.\ta\n\u2022\tcell\nb");
}

void TestRtfEncoding::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(read(rtf)->toPlainText(), text);
}

void TestRtfEncoding::binaryDataIsSkipped()
{
    // Binary holding braces, backslashes and what looks like text.
    QByteArray binary("}}}{\\par \\b junk\\'41 {\\*");
    binary += QByteArray(300, '\0') + QByteArray("\xff\xfe}", 3);
    QByteArray rtf = "{\\rtf1 Before {\\*\\objdata \\bin" + QByteArray::number(binary.size()) + " " + binary
                     + "} after {\\pict\\wmetafile8\\picwgoal300\\pichgoal300\\bin4 \\}{x} end.\\par}";
    const auto doc = read(rtf);
    QCOMPARE(doc->toPlainText().remove(QChar::ObjectReplacementCharacter), QStringLiteral("Before  after  end."));
    QCOMPARE(formatOf(doc.get(), QStringLiteral("end")).fontWeight(), int(QFont::Normal));
}

void TestRtfEncoding::fontCodePageFollowsTheFont()
{
    const auto doc = read("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 Times;}{\\f1\\fcharset204 Times Cyr;}"
                          "{\\f2\\fcharset238 Times CE;}}\\f0 \\'e9 {\\f1 \\'e9 {\\f2 \\'e9} \\'e9} \\'e9}");
    QCOMPARE(doc->toPlainText(), QString::fromUtf8("é й é й é"));
    QCOMPARE(formatOf(doc.get(), QString::fromUtf8("й")).fontFamilies().toStringList(), QStringList{QStringLiteral("Times Cyr")});
}

QTEST_MAIN(TestRtfEncoding)
#include "tst_rtfencoding.moc"
