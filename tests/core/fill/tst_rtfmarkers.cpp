#include "core/fill/rtfmarkers.h"
#include "tests/core/fill/packagetools.h"
#include "tests/support/testhome.h"

#include <QTest>

namespace {
const QStringList kFields{QStringLiteral("Name"), QStringLiteral("Café")};
} // namespace

class TestRtfMarkers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fillsAsAReaderSees_data();
    void fillsAsAReaderSees();
    void libreOfficeRichText();
};

void TestRtfMarkers::fillsAsAReaderSees_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("expected");
    const QStringList ann{QStringLiteral("Ann"), QStringLiteral("Rome")};
    QTest::newRow("plain") << QByteArray("{\\rtf1 Dear &Name&, &Name&\\par}") << ann
                           << QByteArray("{\\rtf1 Dear Ann, Ann\\par}");
    QTest::newRow("split by a group") << QByteArray("{\\rtf1 &Na{\\b me}& x}") << ann << QByteArray("{\\rtf1 Ann{\\b } x}");
    QTest::newRow("split by control words") << QByteArray("{\\rtf1 \\b &Na\\b0 me&\\par}") << ann
                                            << QByteArray("{\\rtf1 \\b Ann\\b0 \\par}");
    QTest::newRow("three pieces") << QByteArray("{\\rtf1 {\\i &N}{\\b a}{\\ul me&}}") << ann
                                  << QByteArray("{\\rtf1 {\\i Ann}{\\b }{\\ul }}");
    QTest::newRow("hex escape") << QByteArray("{\\rtf1 &Caf\\'e9&.}") << ann << QByteArray("{\\rtf1 Rome.}");
    QTest::newRow("unicode escape") << QByteArray("{\\rtf1\\uc1 &Caf\\u233?&.}") << ann << QByteArray("{\\rtf1\\uc1 Rome.}");
    QTest::newRow("unicode escape, two fallbacks") << QByteArray("{\\rtf1\\uc2 &Caf\\u233\\'e9e&.}") << ann
                                                   << QByteArray("{\\rtf1\\uc2 Rome.}");
    QTest::newRow("blank after \\par") << QByteArray("{\\rtf1 x\\par&Name&}") << ann << QByteArray("{\\rtf1 x\\par Ann}");
    QTest::newRow("control word left before text") << QByteArray("{\\rtf1 &Nam\\b0\\'65&x}") << ann
                                                   << QByteArray("{\\rtf1 Ann\\b0 x}");
    QTest::newRow("contiguous") << QByteArray("{\\rtf1 &Name&&Caf\\'e9&}") << ann << QByteArray("{\\rtf1 AnnRome}");
    QTest::newRow("hidden destinations untouched")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 &Name&;}}{\\*\\bkmkstart &Name&}&Name&}") << ann
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 &Name&;}}{\\*\\bkmkstart &Name&}Ann}");
    QTest::newRow("no marker across paragraphs") << QByteArray("{\\rtf1 &Na\\par me&}") << ann
                                                 << QByteArray("{\\rtf1 &Na\\par me&}");
    QTest::newRow("value escaped, own marker not searched again")
        << QByteArray("{\\rtf1 &Na{\\b me}&}") << QStringList{QStringLiteral("{&Name&} \\ é"), QString()}
        << QByteArray("{\\rtf1 \\{&Name&\\} \\\\ \\u233?{\\b }}");
    QTest::newRow("earlier value holds a later marker")
        << QByteArray("{\\rtf1 &Name&}") << QStringList{QStringLiteral("&Café&"), QStringLiteral("Rome")}
        << QByteArray("{\\rtf1 Rome}");
    QTest::newRow("empty value") << QByteArray("{\\rtf1 x&Na{\\b me}&y}") << QStringList{} << QByteArray("{\\rtf1 x{\\b }y}");
}

void TestRtfMarkers::fillsAsAReaderSees()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, values);
    QFETCH(QByteArray, expected);
    QVERIFY(RtfMarkers::applies(rtf, QStringLiteral(".rtf")));
    QCOMPARE(RtfMarkers::fill(rtf, QStringLiteral(".rtf"), kFields, values).value(), expected);
}

void TestRtfMarkers::libreOfficeRichText()
{
    if (!PackageTools::haveOffice())
        QSKIP("LibreOffice is not installed");
    TestHome home;
    // The shipped .odt has "&First Name&" split across two formats; the
    // office writes it as rich text, we fill that, the office reads it back.
    QVERIFY(QFile::copy(TestHome::dataPath(QStringLiteral("Sample Doc.odt")), home.path() + QStringLiteral("Split.odt")));
    QVERIFY(PackageTools::officeConvert({home.path() + QStringLiteral("Split.odt")}, QStringLiteral("rtf"), home.path()));
    const QByteArray rtf = readFile(home.path() + QStringLiteral("Split.rtf"));
    QVERIFY(rtf.contains("Dear &First}") && !rtf.contains("Dear &First Name&"));
    const QStringList fields{QStringLiteral("First Name"), QStringLiteral("City")};
    const QByteArray filled = RtfMarkers::fill(rtf, QStringLiteral(".rtf"), fields,
                                               {QStringLiteral("Zoë"), QStringLiteral("A&B <c> {d}")})
                                 .value();
    QVERIFY(writeFile(home.path() + QStringLiteral("out/Filled.rtf"), filled));
    const QString text = PackageTools::officeText(home.path() + QStringLiteral("out/Filled.rtf"), home.path() + QStringLiteral("txt"));
    QVERIFY2(text.contains(QStringLiteral("Dear Zoë,")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("A&B <c> {d}")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("&First")) && !text.contains(QStringLiteral("&City")), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestRtfMarkers)
#include "tst_rtfmarkers.moc"
