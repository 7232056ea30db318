#include "core/model/modelfile.h"
#include "core/model/modelpath.h"
#include "core/model/names.h"
#include "tests/support/testhome.h"

#include <QTest>

using Names::Problem;

class TestNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNames_data();
    void fileNames();
    void linesAllowSeparators_data();
    void linesAllowSeparators();
    void refusalsSayWhy_data();
    void refusalsSayWhy();
    void longSaveNamesSaySo_data();
    void longSaveNamesSaySo();
    void singleLine_data();
    void singleLine();
    void storedFolderMadeAbsolute_data();
    void storedFolderMadeAbsolute();
};

namespace {
QString withChar(const char *before, char16_t c, const char *after)
{
    return QLatin1String(before) + QChar(c) + QLatin1String(after);
}
} // namespace

void TestNames::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("problem");
    QTest::newRow("plain") << QStringLiteral("Smith, J.") << int(Problem::None);
    QTest::newRow("leading blank") << QStringLiteral(" Letter") << int(Problem::None);
    QTest::newRow("empty") << QString() << int(Problem::Empty);
    QTest::newRow("slash") << QStringLiteral("../escape") << int(Problem::Separator);
    QTest::newRow("backslash") << QStringLiteral("a\\b") << int(Problem::Separator);
    QTest::newRow("dot") << QStringLiteral(".") << int(Problem::DotName);
    QTest::newRow("dot dot") << QStringLiteral("..") << int(Problem::DotName);
    QTest::newRow("line feed") << withChar("a", u'\n', "b") << int(Problem::ControlCharacter);
    QTest::newRow("carriage return") << withChar("a", u'\r', "") << int(Problem::ControlCharacter);
    QTest::newRow("nul") << withChar("a", u'\0', "b") << int(Problem::ControlCharacter);
    QTest::newRow("tab") << withChar("", u'\t', "b") << int(Problem::ControlCharacter);
    QTest::newRow("delete") << withChar("a", u'\x7f', "") << int(Problem::ControlCharacter);
    QTest::newRow("C1 next line") << withChar("a", u'\x85', "b") << int(Problem::ControlCharacter);
    QTest::newRow("line separator") << withChar("a", u'\x2028', "b") << int(Problem::ControlCharacter);
    // Names that look like other names: "Invoice<RLO>fdp.exe" shows as "Invoiceexe.pdf".
    QTest::newRow("right-to-left override") << withChar("Invoice", u'\x202E', "fdp.exe") << int(Problem::DirectionControl);
    QTest::newRow("right-to-left mark") << withChar("a", u'\x200F', "b") << int(Problem::DirectionControl);
    QTest::newRow("isolate") << withChar("a", u'\x2067', "b") << int(Problem::DirectionControl);
    QTest::newRow("zero-width space") << withChar("Smith", u'\x200B', "") << int(Problem::InvisibleCharacter);
    QTest::newRow("zero-width joiner") << withChar("a", u'\x200D', "b") << int(Problem::InvisibleCharacter);
    QTest::newRow("byte order mark") << withChar("", u'\xFEFF', "Smith") << int(Problem::InvisibleCharacter);
    QTest::newRow("Hebrew letters") << QStringLiteral("\u05E9\u05DC\u05D5\u05DD") << int(Problem::None);
}

void TestNames::fileNames()
{
    QFETCH(QString, name);
    QFETCH(int, problem);
    QCOMPARE(int(Names::fileNameProblem(name)), problem);
    QCOMPARE(Names::isSafeName(name), problem == int(Problem::None));
}

void TestNames::linesAllowSeparators_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("problem");
    QTest::newRow("path") << QStringLiteral("/home/u/Book.xls") << int(Problem::None);
    QTest::newRow("windows path") << QStringLiteral("C:\\a\\..\\b.xls") << int(Problem::None);
    QTest::newRow("empty") << QString() << int(Problem::Empty);
    QTest::newRow("nul in path") << withChar("/a/b", u'\0', ".xls") << int(Problem::ControlCharacter);
    QTest::newRow("line break in field") << withChar("First", u'\n', "Name") << int(Problem::ControlCharacter);
}

void TestNames::linesAllowSeparators()
{
    QFETCH(QString, text);
    QFETCH(int, problem);
    QCOMPARE(int(Names::lineProblem(text)), problem);
}

void TestNames::refusalsSayWhy_data()
{
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("text");
    QTest::newRow("separator") << int(Problem::Separator) << QStringLiteral("Names cannot contain / or \\.");
    QTest::newRow("control") << int(Problem::ControlCharacter)
                             << QStringLiteral("Names cannot contain line breaks, tabs or other control characters.");
    QTest::newRow("dots") << int(Problem::DotName) << QStringLiteral("Names cannot be . or ..");
    QTest::newRow("none") << int(Problem::None) << QString();
}

// The copy "SAVE-DOC.ext" and its temporary file must fit in one file name.
void TestNames::longSaveNamesSaySo_data()
{
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<bool>("refused");
    QTest::newRow("short") << QStringLiteral("Smith") << false;
    QTest::newRow("229 bytes with the document") << QString(220, QLatin1Char('a')) << false;
    QTest::newRow("240 bytes with the document") << QString(231, QLatin1Char('a')) << true;
    // Counted in bytes: 80 letters of three bytes each.
    QTest::newRow("80 CJK letters") << QString(80, QChar(0x6587)) << true;
}

void TestNames::longSaveNamesSaySo()
{
    QFETCH(QString, saveName);
    QFETCH(bool, refused);
    const QString text = Names::copyNameRefusal(saveName, QStringLiteral("Letter!!"));
    QCOMPARE(!text.isEmpty(), refused);
    QVERIFY2(!refused || text.startsWith(QStringLiteral("The save name is too long")), qPrintable(text));
}

void TestNames::refusalsSayWhy()
{
    QFETCH(int, problem);
    QFETCH(QString, text);
    QCOMPARE(Names::refusal(Problem(problem)), text);
}

void TestNames::singleLine_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("held");
    QTest::newRow("CR LF") << QStringLiteral("Smith\r\nJones") << QStringLiteral("Smith Jones");
    QTest::newRow("LF") << QStringLiteral("a\nb\nc") << QStringLiteral("a b c");
    QTest::newRow("CR") << QStringLiteral("a\rb") << QStringLiteral("a b");
    QTest::newRow("two breaks") << QStringLiteral("a\n\nb") << QStringLiteral("a  b");
    QTest::newRow("paragraph separator") << withChar("a", u'\x2029', "b") << QStringLiteral("a b");
    QTest::newRow("tab stays") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
}

void TestNames::singleLine()
{
    QFETCH(QString, pasted);
    QFETCH(QString, held);
    QCOMPARE(Names::singleLine(pasted), held);
}

void TestNames::storedFolderMadeAbsolute_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("used");
    QTest::newRow("absolute") << QStringLiteral("/srv/m/") << QStringLiteral("/srv/m/");
    QTest::newRow("relative") << QStringLiteral("models/") << QStringLiteral("/h/models/");
    QTest::newRow("parent") << QStringLiteral("../x/") << QStringLiteral("/x/");
    QTest::newRow("tilde") << QStringLiteral("~/m/") << QStringLiteral("/h/m/");
    QTest::newRow("empty") << QString() << QString();
}

void TestNames::storedFolderMadeAbsolute()
{
    QFETCH(QString, stored);
    QFETCH(QString, used);
    QCOMPARE(ModelPath::absoluteFolder(stored, QStringLiteral("/h/")), used);
}

QTEST_GUILESS_MAIN(TestNames)
#include "tst_names.moc"
