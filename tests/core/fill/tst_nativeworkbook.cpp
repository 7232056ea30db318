#include "core/fill/nativeworkbook.h"
#include "core/fill/odssheet.h"
#include "core/fill/xlsxsheet.h"
#include "core/fill/zippackage.h"
#include "tests/core/fill/nativefixture.h"
#include "tests/core/fill/officefixtures.h"
#include "tests/support/calcmodule.h"
#include "tests/support/testhome.h"
#include "tests/support/zipbomb.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

// Fills workbooks written by LibreOffice with our own engine and with the
// office, and compares what the office then sees in both, sheet by sheet.
namespace {

const QStringList kFields{QStringLiteral("Name"), QStringLiteral("City"), QStringLiteral("Amount")};
const QStringList kValues{QStringLiteral("Ann <&> \"Lee\""), QStringLiteral("  Rome  two"), QStringLiteral("12")};

// The parts of a package, by name.
QMap<QString, QByteArray> partsOf(const QString &path)
{
    QMap<QString, QByteArray> parts;
    Zip::Package package;
    if (!package.open(path))
        return parts;
    for (const QString &name : package.entryNames()) {
        QByteArray bytes;
        package.read(name, &bytes);
        parts.insert(name, bytes);
    }
    return parts;
}

// Rewrites every shared-string cell of an .xlsx as an inline string.
bool inlineAllStrings(const QString &from, const QString &to)
{
    Zip::Package package;
    if (!package.open(from))
        return false;
    QByteArray bytes;
    if (!package.read(QStringLiteral("xl/sharedStrings.xml"), &bytes))
        return false;
    const Result<QStringList> parsed = Xlsx::parseSharedStrings(bytes);
    if (!parsed)
        return false;
    const QStringList &strings = *parsed;
    QHash<QString, QByteArray> replaced;
    static const QRegularExpression shared(QStringLiteral("t=\"s\"(\\s*[^>]*)><v>(\\d+)</v>"));
    for (const QString &name : package.entryNames()) {
        if (!name.startsWith(QLatin1String("xl/worksheets/sheet")) || !package.read(name, &bytes))
            continue;
        QString xml = QString::fromUtf8(bytes);
        QString out;
        qsizetype at = 0;
        for (auto it = shared.globalMatch(xml); it.hasNext();) {
            const auto m = it.next();
            out += QStringView(xml).mid(at, m.capturedStart() - at);
            out += QStringLiteral("t=\"inlineStr\"") + m.captured(1) + QStringLiteral("><is><t>") +
                   strings.value(m.captured(2).toInt()).toHtmlEscaped() + QStringLiteral("</t></is>");
            at = m.capturedEnd();
        }
        out += QStringView(xml).mid(at);
        replaced.insert(name, out.toUtf8());
    }
    return package.write(to, replaced);
}

// The macros of a macro-enabled workbook: a compound file, as Excel stores
// its VBA project.
QByteArray macroProject()
{
    QByteArray bytes = QByteArray::fromHex("d0cf11e0a1b11ae1");
    for (int i = 0; bytes.size() < 16384; ++i)
        bytes += char(i * 7 + 3);
    return bytes;
}

// Adds the macros to an .xlsm the office wrote (it writes none of its own).
bool withMacros(const QString &path)
{
    Zip::Package package;
    QByteArray types, rels;
    if (!package.open(path) || !package.read(QStringLiteral("[Content_Types].xml"), &types) ||
        !package.read(QStringLiteral("xl/_rels/workbook.xml.rels"), &rels))
        return false;
    types.replace("</Types>", "<Default Extension=\"bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/></Types>");
    rels.replace("</Relationships>", "<Relationship Id=\"rIdVba\" Target=\"vbaProject.bin\" "
                                     "Type=\"http://schemas.microsoft.com/office/2006/relationships/vbaProject\"/>"
                                     "</Relationships>");
    const QString changed = path + QStringLiteral(".new");
    return package.write(changed, {{QStringLiteral("[Content_Types].xml"), types},
                                   {QStringLiteral("xl/_rels/workbook.xml.rels"), rels},
                                   {QStringLiteral("xl/vbaProject.bin"), macroProject()}}) &&
           QFile::remove(path) && QFile::rename(changed, path);
}

const char *const kTotalsFormats[] = {"xlsx", "ods", "xls", "xlsm"};

// The comparisons with the office: fixture, sheet, fills in a row.
struct Comparison {
    const char *fixture;
    int sheet;
    int runs;
    const char *layout;
};
const Comparison kComparisons[] = {
    {"book.xlsx", 2, 1, "rows in a styled table"}, {"book.xlsx", 2, 2, "rows, twice"}, {"book.xlsx", 3, 1, "columns"},
    {"inline.xlsx", 2, 1, "rows in a styled table"}, {"inline.xlsx", 2, 2, "rows, twice"}, {"inline.xlsx", 3, 1, "columns"},
    {"book.ods", 2, 1, "rows in a styled table"}, {"book.ods", 2, 2, "rows, twice"}, {"book.ods", 3, 1, "columns"},
};

// Both fills of one comparison and what the office exported from them.
struct Compared {
    QString ours, theirs;
    QMap<QString, QByteArray> before;
    QStringList ourMessages, theirMessages;
    QStringList ourSheets, theirSheets;
};

// Three fills in a row of a workbook with formulas above its records.
struct Totals {
    QString path;
    QMap<QString, QByteArray> before;
    QStringList messages;
    QStringList sheets;
};

} // namespace

class TestNativeWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sameResultAsTheOffice_data();
    void sameResultAsTheOffice();
    void formulasDoNotEndTheRecords_data();
    void formulasDoNotEndTheRecords();
    void newMarkersTakeTheMarkersStyle_data();
    void newMarkersTakeTheMarkersStyle();
    void factoryPicksTheEngineByFile_data();
    void factoryPicksTheEngineByFile();
    void badInputIsAProblemAndLeavesTheFile_data();
    void badInputIsAProblemAndLeavesTheFile();

private:
    QString copyOf(const QString &fixture, const QString &name);
    QStringList fill(const QString &path, qint16 sheet, Sheets::Engines &engines);
    void fillBothWays();

    std::unique_ptr<TestHome> m_home;
    QString m_fixtures;
    QString m_profile;
    int m_copies = 0;
    QList<Compared> m_compared; // one per comparison, in order
    QHash<QString, Totals> m_totals; // by format
};

void TestNativeWorkbook::initTestCase()
{
    m_home = std::make_unique<TestHome>();
    m_fixtures = m_home->path() + QStringLiteral("fixtures/");
    m_profile = m_home->path() + QStringLiteral("office-profile");
    const QString fods = m_fixtures + QStringLiteral("book.fods");
    const QString totals = m_fixtures + QStringLiteral("totals.fods");
    QVERIFY(writeFile(fods, nativeFixtureFods()));
    QVERIFY(writeFile(totals, formulasFixtureFods()));
    QVERIFY(FixtureOffice::convert({fods, totals}, QStringLiteral("xlsx:Calc MS Excel 2007 XML"), m_fixtures, m_profile));
    QVERIFY(FixtureOffice::convert({fods, totals}, QStringLiteral("ods"), m_fixtures, m_profile));
    QVERIFY(FixtureOffice::convert({totals}, QStringLiteral("xls:MS Excel 97"), m_fixtures, m_profile));
    QVERIFY(FixtureOffice::convert({totals}, QStringLiteral("xlsm:Calc MS Excel 2007 VBA XML"), m_fixtures, m_profile));
    QVERIFY(withMacros(m_fixtures + QStringLiteral("totals.xlsm")));
    QVERIFY(inlineAllStrings(m_fixtures + QStringLiteral("book.xlsx"), m_fixtures + QStringLiteral("inline.xlsx")));
    // The office compressed the styled rows below the markers.
    QVERIFY(partsOf(m_fixtures + QStringLiteral("book.ods")).value(QStringLiteral("content.xml")).contains(
        "table:number-rows-repeated=\""));
    fillBothWays();
}

// Every comparison is filled by both engines first and exported in one
// office run: an office start per workbook would take most of a minute.
void TestNativeWorkbook::fillBothWays()
{
    auto loaded = SystemEngines::loadCalc();
    QVERIFY2(loaded, qPrintable(loaded.error()));
    std::shared_ptr<Sheets::Engines> office = std::move(loaded).value();
    QStringList workbooks;
    for (const Comparison &c : kComparisons) {
        const QString fixture = QString::fromLatin1(c.fixture);
        const QString suffix = QFileInfo(fixture).suffix();
        Compared done;
        const int n = int(m_compared.size());
        done.ours = copyOf(fixture, QStringLiteral("ours%1.").arg(n) + suffix);
        done.theirs = copyOf(fixture, QStringLiteral("theirs%1.").arg(n) + suffix);
        done.before = partsOf(done.ours);
        for (int i = 0; i < c.runs; ++i) {
            SystemEngines native;
            done.ourMessages << fill(done.ours, qint16(c.sheet), native);
            done.theirMessages << fill(done.theirs, qint16(c.sheet), *office);
        }
        workbooks << done.ours << done.theirs;
        m_compared << done;
    }
    for (const char *format : kTotalsFormats) {
        const QString suffix = QString::fromLatin1(format);
        Totals &done = m_totals[suffix];
        done.path = copyOf(QStringLiteral("totals.") + suffix, QStringLiteral("totals-") + suffix + QLatin1Char('.') + suffix);
        done.before = partsOf(done.path);
        for (int i = 0; i < 3; ++i) {
            SystemEngines native;
            done.messages << fill(done.path, 1, engineFor(done.path) == SheetEngine::Office ? *office : native);
        }
        workbooks << done.path;
    }
    office.reset(); // its office ends before the exporting one starts
    const auto exported = OfficeFixtures::exportSheets(m_profile, workbooks, m_home->path() + QStringLiteral("csv/"));
    for (Compared &done : m_compared) {
        done.ourSheets = exported.value(done.ours);
        done.theirSheets = exported.value(done.theirs);
    }
    for (Totals &done : m_totals)
        done.sheets = exported.value(done.path);
}

QString TestNativeWorkbook::copyOf(const QString &fixture, const QString &name)
{
    const QString folder = m_home->path() + QStringLiteral("books%1/").arg(++m_copies);
    QDir().mkpath(folder);
    QFile::copy(m_fixtures + fixture, folder + name);
    return folder + name;
}

QStringList TestNativeWorkbook::fill(const QString &path, qint16 sheet, Sheets::Engines &engines)
{
    QStringList messages;
    OfficeFixtures::Run run;
    run.values = kValues;
    SheetFill::ProcessSpreadsheet({path, sheet}, m_home->appFolder(), kFields, run, engines,
                                  [&messages](const QString &text, const QString &title) {
                                      messages << title + QLatin1Char('|') + text;
                                  });
    return messages;
}

void TestNativeWorkbook::sameResultAsTheOffice_data()
{
    QTest::addColumn<int>("index");
    int index = 0;
    for (const Comparison &c : kComparisons)
        QTest::addRow("%s %s", c.fixture, c.layout) << index++;
}

void TestNativeWorkbook::sameResultAsTheOffice()
{
    QFETCH(int, index);
    QVERIFY(index < m_compared.size());
    const Comparison &c = kComparisons[index];
    const Compared &done = m_compared.at(index);
    const int sheet = c.sheet;
    const QString suffix = QFileInfo(done.ours).suffix();
    QCOMPARE(done.ourMessages, QStringList());
    QCOMPARE(done.theirMessages, QStringList());
    const QStringList &ourSheets = done.ourSheets;
    const QStringList &theirSheets = done.theirSheets;
    QCOMPARE(ourSheets.size(), 3);
    QCOMPARE(ourSheets, theirSheets);
    // The values are in, and formulas over them were computed afresh.
    QVERIFY(ourSheets.join(QString()).contains(QStringLiteral("\"Ann <&> \"\"Lee\"\"\"")));

    // Every part but the filled sheet, the workbook's recalculation flag and
    // the sheets whose formulas reach the filled one is as it was, byte for
    // byte.
    const auto &before = done.before;
    const auto after = partsOf(done.ours);
    QCOMPARE(after.keys(), before.keys());
    QStringList changed;
    for (auto it = before.constBegin(); it != before.constEnd(); ++it)
        if (after.value(it.key()) != it.value())
            changed << it.key();
    QStringList expected{QStringLiteral("content.xml")};
    if (suffix == QLatin1String("xlsx")) {
        expected = QStringList{QStringLiteral("xl/workbook.xml")};
        for (int i = 1; i <= 3; ++i) {
            const QString part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(i);
            if (i == sheet || (i == 1 && sheet == 2)) // Notes counts the records
                expected << part;
        }
    }
    QCOMPARE(changed, expected);
    if (suffix == QLatin1String("xlsx"))
        QVERIFY(after.value(QStringLiteral("xl/workbook.xml")).contains("fullCalcOnLoad=\"1\""));
}

void TestNativeWorkbook::formulasDoNotEndTheRecords_data()
{
    QTest::addColumn<QString>("suffix");
    for (const char *format : kTotalsFormats)
        QTest::newRow(format) << QString::fromLatin1(format);
}

void TestNativeWorkbook::formulasDoNotEndTheRecords()
{
    QFETCH(QString, suffix);
    const Totals &done = m_totals.value(suffix);
    QCOMPARE(done.messages, QStringList());
    const QString record = QStringLiteral("\"Ann <&> \"\"Lee\"\"\",  Rome  two\n");
    QCOMPARE(done.sheets.join(QString()).remove(QLatin1Char('\r')),
             QStringLiteral("Totals.csv\nTotal,\n2,\n4,\n6,\n") + record.repeated(3) + QStringLiteral("&Name&,&City&\n"));
    if (suffix == QLatin1String("ods") || suffix == QLatin1String("xls"))
        return;
    // The formulas keep their results; the macros and content types stay
    // as they were, byte for byte.
    const auto after = partsOf(done.path);
    const QByteArray sheet = after.value(QStringLiteral("xl/worksheets/sheet1.xml"));
    for (const char *result : {"<v>2</v>", "<v>4</v>", "<v>6</v>"})
        QVERIFY2(sheet.contains(result), result);
    for (const char *part : {"[Content_Types].xml", "xl/vbaProject.bin", "xl/styles.xml"})
        QCOMPARE(after.value(QLatin1String(part)), done.before.value(QLatin1String(part)));
    QCOMPARE(after.keys(), done.before.keys());
    QCOMPARE(after.contains(QStringLiteral("xl/vbaProject.bin")), suffix == QLatin1String("xlsm"));
}

void TestNativeWorkbook::newMarkersTakeTheMarkersStyle_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("sheet");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("fromColumn");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toColumn");
    QTest::newRow("xlsx row") << QStringLiteral("book.xlsx") << 2 << 6 << 3 << 7 << 3;
    QTest::newRow("xlsx column") << QStringLiteral("book.xlsx") << 3 << 3 << 2 << 3 << 3;
    QTest::newRow("ods row") << QStringLiteral("book.ods") << 2 << 6 << 3 << 7 << 3;
    QTest::newRow("ods column") << QStringLiteral("book.ods") << 3 << 3 << 2 << 3 << 3;
}

void TestNativeWorkbook::newMarkersTakeTheMarkersStyle()
{
    QFETCH(QString, fixture);
    QFETCH(int, sheet);
    QFETCH(int, fromRow);
    QFETCH(int, fromColumn);
    QFETCH(int, toRow);
    QFETCH(int, toColumn);
    const QString path = copyOf(fixture, QStringLiteral("styled.") + QFileInfo(fixture).suffix());
    SystemEngines native;
    QCOMPARE(fill(path, qint16(sheet), native), QStringList());
    const auto parts = partsOf(path);
    std::unique_ptr<Native::Grid> grid;
    if (fixture.endsWith(QLatin1String(".ods")))
        grid = Ods::Sheet::read(parts.value(QStringLiteral("content.xml")), sheet).value();
    else
        grid = Xlsx::Sheet::read(parts.value(QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)),
                                 Xlsx::SharedStrings::read(parts.value(QStringLiteral("xl/sharedStrings.xml"))).value())
                   .value();
    const Native::CellRun *from = grid->cellAt(fromRow, fromColumn);
    const Native::CellRun *to = grid->cellAt(toRow, toColumn);
    QVERIFY(from && to);
    QCOMPARE(grid->cellText(fromRow, fromColumn).value(), kValues.at(2));
    QCOMPARE(grid->cellText(toRow, toColumn).value(), QStringLiteral("&Amount&"));
    QVERIFY(!from->style.isEmpty());
    QCOMPARE(to->style, from->style);
}

void TestNativeWorkbook::factoryPicksTheEngineByFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("engine");
    QTest::newRow("xlsx") << QStringLiteral("/a/b.xlsx") << int(SheetEngine::NativeXml);
    QTest::newRow("ods upper case") << QStringLiteral("/a/b.ODS") << int(SheetEngine::NativeXml);
    QTest::newRow("xlsm") << QStringLiteral("/a/b.xlsm") << int(SheetEngine::NativeXml);
    QTest::newRow("xltx upper case") << QStringLiteral("/a/b.XLTX") << int(SheetEngine::NativeXml);
    QTest::newRow("xltm") << QStringLiteral("/a/b.xltm") << int(SheetEngine::NativeXml);
    QTest::newRow("csv") << QStringLiteral("/a/b.csv") << int(SheetEngine::Csv);
    QTest::newRow("xls") << QStringLiteral("/a/b.xls") << int(SheetEngine::Office);
    QTest::newRow("no extension") << QStringLiteral("/a/xlsx") << int(SheetEngine::Office);
}

void TestNativeWorkbook::factoryPicksTheEngineByFile()
{
    QFETCH(QString, path);
    QFETCH(int, engine);
    QCOMPARE(int(engineFor(path)), engine);
    // .xlsx, .ods and .csv never need the office module.
    if (engine != int(SheetEngine::Office)) {
        const QString module = SystemEngines::calcModulePath();
        SystemEngines::setCalcModulePath(QStringLiteral("/nonexistent/qltcalc.so"));
        SystemEngines engines;
        QVERIFY(engines.createApplication(path));
        SystemEngines::setCalcModulePath(module);
    }
}

void TestNativeWorkbook::badInputIsAProblemAndLeavesTheFile_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("sheet");
    QTest::addColumn<QString>("message");
    const QString open = QStringLiteral(" while setting xlbook to ");
    const QString unreadable = QStringLiteral("is not a readable zip package (damaged or truncated)") + open;
    const QString sheet = QStringLiteral(" while setting sheet to  ");
    for (const char *fixture : {"book.xlsx", "book.ods"}) {
        const QString f = QString::fromLatin1(fixture);
        QTest::addRow("%s not a zip", fixture) << f << QStringLiteral("garbage") << 2
                                               << unreadable;
        QTest::addRow("%s truncated", fixture) << f << QStringLiteral("truncated") << 2
                                               << unreadable;
        QTest::addRow("%s sheet past the last", fixture)
            << f << QString() << 4 << Sheets::noSuchWorksheet(4) + sheet + QLatin1Char('4');
        QTest::addRow("%s zip bomb", fixture) << f << QStringLiteral("bomb") << 2
                                              << QStringLiteral("inflates past 256 MB") + sheet + QLatin1Char('2');
        QTest::addRow("%s encrypted", fixture) << f << QStringLiteral("encrypted") << 2
                                               << QStringLiteral("is protected by a password") + open;
    }
}

void TestNativeWorkbook::badInputIsAProblemAndLeavesTheFile()
{
    QFETCH(QString, fixture);
    QFETCH(QString, damage);
    QFETCH(int, sheet);
    QFETCH(QString, message);
    const bool ods = fixture.endsWith(QLatin1String(".ods"));
    const QString path = copyOf(fixture, QStringLiteral("bad.") + QFileInfo(fixture).suffix());
    QByteArray bytes = readFile(path);
    if (damage == QLatin1String("garbage")) {
        bytes = QByteArray("Name,City\r\n").repeated(40);
    } else if (damage == QLatin1String("truncated")) {
        bytes.truncate(bytes.size() * 2 / 3);
    } else if (damage == QLatin1String("bomb")) {
        // 300 MB of blanks in the sheet, deflated to a few hundred kilobytes.
        const QString damaged = path + QStringLiteral(".new");
        QVERIFY(ZipBomb::write(damaged, ods ? QStringLiteral("content.xml") : QStringLiteral("xl/worksheets/sheet2.xml"),
                               300, path));
        bytes = readFile(damaged);
        QFile::remove(damaged);
    } else if (damage == QLatin1String("encrypted") && ods) {
        // An encrypted ODF package says so in its manifest.
        Zip::Package package;
        QVERIFY(package.open(path));
        QByteArray manifest;
        QVERIFY(package.read(QStringLiteral("META-INF/manifest.xml"), &manifest));
        manifest.replace("manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>",
                         "manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"><manifest:encryption-data manifest:checksum-type="
                         "\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0#sha256-1k\"/></manifest:file-entry>");
        const QString damaged = path + QStringLiteral(".new");
        QVERIFY2(package.write(damaged, {{QStringLiteral("META-INF/manifest.xml"), manifest},
                                         {QStringLiteral("content.xml"), QByteArray(4000, '\x5a')}}),
                 qPrintable(package.errorString()));
        bytes = readFile(damaged);
        QFile::remove(damaged);
    } else if (damage == QLatin1String("encrypted")) {
        // What an office writes for a password-protected .xlsx: a compound
        // file holding the streams EncryptionInfo and EncryptedPackage.
        bytes = QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0');
        for (const char *stream : {"EncryptionInfo", "EncryptedPackage"}) {
            const QString name = QString::fromLatin1(stream);
            bytes += QByteArray(reinterpret_cast<const char *>(name.utf16()), name.size() * 2) + QByteArray(128 - name.size() * 2, '\0');
        }
        bytes += QByteArray(4096, '\x33');
    }
    QVERIFY(writeFile(path, bytes));
    SystemEngines native;
    const QStringList messages = fill(path, qint16(sheet), native);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("Problem|")), qPrintable(messages.first()));
    QVERIFY2(messages.first().contains(message), qPrintable(messages.first()));
    QCOMPARE(readFile(path), bytes);
    QVERIFY(QDir(m_home->appFolder()).entryList({QStringLiteral("Temp-*")}, QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TestNativeWorkbook)
#include "tst_nativeworkbook.moc"
