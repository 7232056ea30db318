// The fast fill against the per-field algorithm written out as plainly as
// possible, on many random texts built to make markers touch, share "&"s,
// follow control words and form again from what is inserted.
#include "core/fill/markers.h"
#include "core/fill/rtfmarkers.h"
#include "core/fill/xmlmarkers.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Markers;

namespace {
// A control word at the end: an odd run of backslashes, 1 to 32 letters and
// an optional number of up to 10 digits.
bool referenceControlWord(const QByteArray &before)
{
    static const QRegularExpression word(QStringLiteral(R"((?<!\\)(\\\\)*\\[A-Za-z]{1,32}(-?[0-9]{1,10})?\z)"));
    return word.match(QString::fromLatin1(before)).hasMatch();
}

// Field by field, occurrence by occurrence, rebuilding the whole text each
// time: the algorithm exactly as described, with no care for speed.
QByteArray referenceFill(QByteArray text, const QString &extension, const QList<QByteArray> &names,
                         const QList<QByteArray> &values)
{
    const bool exactRtf = extension == QStringLiteral(".rtf");
    const bool richText = extension.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) == 0;
    for (qsizetype j = 0; j < names.size(); ++j) {
        QByteArray marker = '&' + names[j] + '&';
        qsizetype p = text.indexOf(marker);
        if (!exactRtf && p < 0) {
            marker = "&amp;" + names[j] + "&amp;";
            p = text.indexOf(marker);
        }
        while (p >= 0) {
            QByteArray before = text.left(p);
            if (richText ? referenceControlWord(before) : before.endsWith("\\par"))
                before += ' ';
            const qsizetype next = before.size() + values[j].size();
            text = before + values[j] + text.mid(p + marker.size());
            p = text.indexOf(marker, next);
        }
    }
    return text;
}

const char *const kTextPieces[] = {"&", "&", "&", "A", "B", "a", "\\", "\\", "par", "amp;", "1", "-", " ", "x", ";", "{",
                                   "\n"};
const char *const kNamePieces[] = {"A", "B", "a", "par", "amp;", "x", "1", " "};
const char *const kValuePieces[] = {"A", "B", "x", "1", "-", "\\", "par", " ", "y", "&", "amp;", "{"};
const QString kExtensions[] = {QStringLiteral(".rtf"), QStringLiteral(".RTF"), QStringLiteral(".txt"),
                               QStringLiteral(".htm"), QString()};

template <size_t N>
QByteArray randomText(QRandomGenerator &rng, const char *const (&pieces)[N], int maxPieces)
{
    QByteArray out;
    const int count = static_cast<int>(rng.bounded(maxPieces + 1));
    for (int i = 0; i < count; ++i)
        out += pieces[rng.bounded(static_cast<quint32>(N))];
    return out;
}

struct Case {
    QByteArray text;
    QString extension;
    QStringList names;
    QStringList values;
};

Case randomCase(QRandomGenerator &rng)
{
    Case c;
    const int fields = 1 + static_cast<int>(rng.bounded(4));
    for (int j = 0; j < fields; ++j) {
        QByteArray name = randomText(rng, kNamePieces, 2);
        if (name.isEmpty() && rng.bounded(4) != 0)
            name = "A";
        c.names << QString::fromLatin1(name);
        // Most values leave "&" out: that is the common case to sweep.
        QByteArray value = randomText(rng, kValuePieces, 3);
        if (rng.bounded(3) != 0)
            value.replace('&', 'z');
        c.values << QString::fromLatin1(value);
    }
    // Texts made mostly of markers, so that they touch and overlap.
    for (int m = static_cast<int>(rng.bounded(8)); m > 0; --m) {
        c.text += randomText(rng, kTextPieces, 3);
        if (rng.bounded(2) == 0) {
            const QByteArray name = c.names[rng.bounded(fields)].toLatin1();
            c.text += rng.bounded(4) == 0 ? "&amp;" + name + "&amp;" : '&' + name + '&';
        }
    }
    c.extension = kExtensions[rng.bounded(static_cast<quint32>(std::size(kExtensions)))];
    return c;
}
} // namespace

class TestMarkerFill : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sweepAgreesWithFieldByField();
    void interactingMarkers_data();
    void interactingMarkers();
    void controlWordBounds_data();
    void controlWordBounds();
    void valuesThatMultiplyTheTextStop_data();
    void valuesThatMultiplyTheTextStop();
};

void TestMarkerFill::sweepAgreesWithFieldByField()
{
    QRandomGenerator rng(20261207);
    int swept = 0;
    constexpr int kCases = 30000;
    for (int n = 0; n < kCases; ++n) {
        const Case c = randomCase(rng);
        QList<QByteArray> names, values;
        for (qsizetype j = 0; j < c.names.size(); ++j) {
            names << c.names[j].toLatin1();
            values << *encodeValue(c.values[j], c.extension);
        }
        const QByteArray expected = referenceFill(c.text, c.extension, names, values);
        const auto describe = [&] {
            return QStringLiteral("case %1: text \"%2\", extension \"%3\", names [%4], values [%5]")
                .arg(n)
                .arg(QString::fromLatin1(c.text), c.extension, c.names.join(QStringLiteral("|")),
                     c.values.join(QStringLiteral("|")))
                .toUtf8();
        };
        const std::optional<QByteArray> sweep = Detail::fillInOneSweep(c.text, c.extension, names, values);
        if (sweep) {
            ++swept;
            QVERIFY2(*sweep == expected, describe().constData());
        }
        QVERIFY2(Detail::fillFieldByField(c.text, c.extension, names, values) == expected, describe().constData());
        QVERIFY2(ReplaceFieldMarkers(c.text, c.extension, c.names, c.values).value() == expected, describe().constData());
    }
    // Both ways were put to the test.
    QVERIFY2(swept > kCases / 3, QByteArray::number(swept).constData());
    QVERIFY2(swept < kCases * 9 / 10, QByteArray::number(swept).constData());
}

void TestMarkerFill::interactingMarkers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("expected");
    const QStringList ab{QStringLiteral("A"), QStringLiteral("B")};
    const QStringList ba{QStringLiteral("B"), QStringLiteral("A")};
    QTest::newRow("an inserted value forms a later marker")
        << QByteArray("&&A&&") << QStringLiteral(".txt") << ab << QStringList{QStringLiteral("B"), QStringLiteral("b")} << QByteArray("b");
    QTest::newRow("the earlier field takes a shared &")
        << QByteArray("&A&B&") << QStringLiteral(".txt") << ba << QStringList{QStringLiteral("b"), QStringLiteral("a")} << QByteArray("&Ab");
    QTest::newRow("a later field's marker still stands in front")
        << QByteArray("\\&A&&B&") << QStringLiteral(".rtf") << ba << QStringList{QStringLiteral("b"), QStringLiteral("par")} << QByteArray("\\parb");
    QTest::newRow("an earlier field's value forms the control word")
        << QByteArray("\\&A&&B&") << QStringLiteral(".rtf") << ab << QStringList{QStringLiteral("par"), QStringLiteral("b")} << QByteArray("\\par b");
    QTest::newRow("entity form only without the plain form")
        << QByteArray("&amp;A&amp; &B&") << QStringLiteral(".htm") << ab << QStringList{QStringLiteral("a"), QStringLiteral("b")} << QByteArray("a b");
    QTest::newRow("a value joins the texts around it into a name")
        << QByteArray("&x&A&y&") << QStringLiteral(".txt") << QStringList{QStringLiteral("A"), QStringLiteral("xvy")} << QStringList{QStringLiteral("v"), QStringLiteral("!")} << QByteArray("!");
}

void TestMarkerFill::interactingMarkers()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, extension);
    QFETCH(QStringList, names);
    QFETCH(QStringList, values);
    QFETCH(QByteArray, expected);
    QList<QByteArray> nameBytes, valueBytes;
    for (qsizetype j = 0; j < names.size(); ++j) {
        nameBytes << names[j].toLatin1();
        valueBytes << *encodeValue(values[j], extension);
    }
    QCOMPARE(referenceFill(text, extension, nameBytes, valueBytes), expected);
    QCOMPARE(ReplaceFieldMarkers(text, extension, names, values).value(), expected);
}

void TestMarkerFill::controlWordBounds_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("blank");
    QTest::newRow("32 letters") << "\\" + QByteArray(32, 'b') << true;
    QTest::newRow("33 letters") << "\\" + QByteArray(33, 'b') << false;
    QTest::newRow("10 digits") << "\\fs" + QByteArray(10, '7') << true;
    QTest::newRow("11 digits") << "\\fs" + QByteArray(11, '7') << false;
    QTest::newRow("odd backslashes") << QByteArray(7, '\\') + "par" << true;
    QTest::newRow("even backslashes") << QByteArray(8, '\\') + "par" << false;
}

void TestMarkerFill::controlWordBounds()
{
    // Values running on into one long word cost no more than 32 letters of
    // look-back each, which keeps touching markers linear.
    QFETCH(QByteArray, before);
    QFETCH(bool, blank);
    QCOMPARE(endsWithControlWord(before), blank);
    QCOMPARE(referenceControlWord(before), blank);
    const QByteArray filled = ReplaceFieldMarkers(before + "&A&", QStringLiteral(".rtf"), {QStringLiteral("A")},
                                                  {QStringLiteral("v")})
                                  .value();
    QCOMPARE(filled, before + (blank ? " v" : "v"));
}

void TestMarkerFill::valuesThatMultiplyTheTextStop_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<int>("fields");
    for (const char *engine : {"plain text", "rich text as a reader sees it", "Word XML"}) {
        QTest::addRow("%s, 5 fields: filled", engine) << QString::fromLatin1(engine) << 5;
        QTest::addRow("%s, 16 fields: stopped", engine) << QString::fromLatin1(engine) << 16;
    }
}

void TestMarkerFill::valuesThatMultiplyTheTextStop()
{
    // Each value holds the next field's marker four times, so every field
    // makes four of each: 16 fields would make 4^15 copies of the last.
    QFETCH(QString, engine);
    QFETCH(int, fields);
    QStringList names, values;
    for (int i = 1; i <= fields; ++i) {
        names << QStringLiteral("F%1").arg(i);
        values << (i < fields ? QStringLiteral("&F%1&").arg(i + 1).repeated(4) : QStringLiteral("x"));
    }
    QByteArray text;
    Result<QByteArray> result = Failure{};
    if (engine == QStringLiteral("plain text")) {
        text = "Start &F1& end";
        result = ReplaceFieldMarkers(text, QStringLiteral(".txt"), names, values);
    } else if (engine == QStringLiteral("Word XML")) {
        text = "<w:body><w:p><w:r><w:t>Start &amp;F1&amp; end</w:t></w:r></w:p></w:body>";
        result = XmlMarkers::fill(text, XmlMarkers::Dialect::Word, names, values);
    } else {
        text = "{\\rtf1 Start &F{\\b 1}& end}"; // the marker split by formatting
        result = RtfMarkers::fill(text, QStringLiteral(".rtf"), names, values);
    }
    const QByteArray filled = result ? *result : text;
    const QString problem = result ? QString() : result.error();
    if (fields > 10) {
        QCOMPARE(problem, tooMuchGrowth());
        QCOMPARE(filled, text);
    } else {
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(filled.count('x'), 1 << (2 * (fields - 1)));
        QVERIFY(!filled.contains("&F"));
    }
}

QTEST_GUILESS_MAIN(TestMarkerFill)
#include "tst_markerfill.moc"
