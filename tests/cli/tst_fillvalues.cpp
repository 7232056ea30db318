#include "tests/cli/qltrunner.h"
#include "tests/core/fill/packagetools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <memory>

// Values with line breaks, and values no XML file can hold, filled by the
// real QLT into documents and workbooks that LibreOffice wrote, and read
// back through LibreOffice.
using namespace PackageTools;

namespace {
const QByteArray kLetterRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}\\f0 To &Name&\\par &Address&\\par End\\par}";

QByteArray recordsFods()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:version=\"1.2\" "
           "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
           "<table:table table:name=\"Records\"><table:table-row>"
           "<table:table-cell office:value-type=\"string\"><text:p>Name</text:p></table:table-cell>"
           "<table:table-cell office:value-type=\"string\"><text:p>Address</text:p></table:table-cell>"
           "</table:table-row><table:table-row>"
           "<table:table-cell office:value-type=\"string\"><text:p>&amp;Name&amp;</text:p></table:table-cell>"
           "<table:table-cell office:value-type=\"string\"><text:p>&amp;Address&amp;</text:p></table:table-cell>"
           "</table:table-row></table:table></office:spreadsheet></office:body></office:document>";
}
} // namespace

class FillValuesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    QStringList m_workbooks;

    QString docs() const { return m_home->documents(); }
    QStringList fill(const QStringList &arguments) const
    {
        return QStringList{QStringLiteral("fill"), QStringLiteral("Post")} + arguments
            + QStringList{QStringLiteral("--save"), QStringLiteral("{Name}"), QStringLiteral("--sheets")};
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!haveOffice())
            QSKIP("LibreOffice is not installed");
        m_home = std::make_unique<TestHome>();
        const QString app = m_home->appFolder();
        const QString source = m_home->path() + QStringLiteral("source/");
        QVERIFY(writeFile(source + QStringLiteral("Letter.rtf"), kLetterRtf));
        QVERIFY(writeFile(source + QStringLiteral("Note.rtf"), kLetterRtf));
        QVERIFY(writeFile(source + QStringLiteral("Book.fods"), recordsFods()));
        QVERIFY(writeFile(source + QStringLiteral("Records.fods"), recordsFods()));
        QVERIFY(officeConvert({source + QStringLiteral("Letter.rtf")}, QStringLiteral("docx"), app));
        QVERIFY(officeConvert({source + QStringLiteral("Note.rtf")}, QStringLiteral("odt"), app));
        QVERIFY(officeConvert({source + QStringLiteral("Book.fods")}, QStringLiteral("xlsx"), app));
        QVERIFY(officeConvert({source + QStringLiteral("Records.fods")}, QStringLiteral("ods"), app));
        m_workbooks = QStringList{app + QStringLiteral("Book.xlsx"), app + QStringLiteral("Records.ods")};
        QVERIFY(writeModel(*m_home, QStringLiteral("Post"), {QStringLiteral("Name"), QStringLiteral("Address")},
                           {QStringLiteral("Letter"), QStringLiteral("Note")}, m_workbooks));
    }
    void cleanupTestCase() { m_home.reset(); }

    // Every package format refuses the value, names the field, and leaves
    // its files as they were: the workbooks, and an older saved copy.
    void unfitCharacterIsRefusedEverywhere()
    {
        const QByteArray older = "an older copy";
        QVERIFY(writeFile(docs() + QStringLiteral("Bad-Letter.docx"), older));
        QList<QByteArray> before;
        for (const QString &book : std::as_const(m_workbooks))
            before << readFile(book);
        const QltResult r = runQlt(fill({QStringLiteral("--set"), QStringLiteral("Name=Bad"), QStringLiteral("--set"),
                                         QStringLiteral("Address=Main St") + QChar(0xFFFE)}));
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString());
        const QString problem =
            QStringLiteral("The value of the field Address holds a character that %1 cannot hold (U+FFFE) while ");
        for (const QString &item : {QStringLiteral("documents|replacing fields in Letter"),
                                    QStringLiteral("documents|replacing fields in Note"),
                                    QStringLiteral("workbooks|modifying ") + m_workbooks[0],
                                    QStringLiteral("workbooks|modifying ") + m_workbooks[1]})
            QVERIFY2(r.err.contains(problem.arg(item.section(QLatin1Char('|'), 0, 0)) + item.section(QLatin1Char('|'), 1)),
                     qPrintable(r.err));
        QCOMPARE(filesIn(docs()), QStringList{QStringLiteral("Bad-Letter.docx")});
        QCOMPARE(readFile(docs() + QStringLiteral("Bad-Letter.docx")), older);
        for (qsizetype i = 0; i < m_workbooks.size(); ++i)
            QCOMPARE(readFile(m_workbooks[i]), before[i]);
        QCOMPARE(filesIn(m_home->appFolder()).filter(QRegularExpression(QStringLiteral("^(Temp|Backup)-"))),
                 QStringList());
    }

    // LF and CR LF from quoted CSV fields, CR from --set: two lines each,
    // as LibreOffice reads the documents and the cells.
    void lineBreaksReadBackAsTwoLines()
    {
        const QString csv = m_home->path() + QStringLiteral("people.csv");
        QVERIFY(writeFile(csv, "Name,Address\r\nAnn,\"12 Main St\nSpringfield\"\r\nBob,\"12 Main St\r\nSpringfield\"\r\n"));
        const QltResult batch = runQlt(fill({QStringLiteral("--rows"), csv}));
        QCOMPARE(batch.status, 0);
        const QltResult one = runQlt(fill({QStringLiteral("--set"), QStringLiteral("Name=Cid"), QStringLiteral("--set"),
                                           QStringLiteral("Address=12 Main St\rSpringfield")}));
        QCOMPARE(one.status, 0);

        QStringList copies;
        for (const QString &name : {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid")})
            copies << docs() + name + QStringLiteral("-Letter.docx") << docs() + name + QStringLiteral("-Note.odt");
        const QString out = m_home->path() + QStringLiteral("read/");
        QVERIFY(officeConvert(copies, QStringLiteral("txt:Text (encoded):UTF8"), out));
        for (const QString &copy : std::as_const(copies)) {
            QFile file(out + QFileInfo(copy).completeBaseName() + QStringLiteral(".txt"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            QVERIFY2(text.contains(QStringLiteral("\n12 Main St\nSpringfield\nEnd")), qPrintable(copy + u'\n' + text));
        }
        // The office opens both workbooks and finds the three records.
        QVERIFY(officeConvert(m_workbooks, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), out));
        for (const QString &book : std::as_const(m_workbooks)) {
            const QString cells = QString::fromUtf8(readFile(out + QFileInfo(book).completeBaseName() + QStringLiteral(".csv")));
            for (const QString &name : {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid")})
                QVERIFY2(cells.contains(name + QStringLiteral(",\"12 Main St\nSpringfield\"")), qPrintable(cells));
        }
    }
};

QTEST_GUILESS_MAIN(FillValuesTest)
#include "tst_fillvalues.moc"
