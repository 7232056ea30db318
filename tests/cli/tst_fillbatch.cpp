#include "tests/cli/qltrunner.h"
#include "tests/core/fill/packagetools.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

// "QLT fill --rows": one run per CSV record, names from the record,
// spreadsheets growing by one record per run.
class FillBatchTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;

    QString docs() const { return m_home->documents(); }
    QString csvPath() const { return m_home->path() + QStringLiteral("people.csv"); }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        const QString app = m_home->appFolder();
        QVERIFY(writeModel(*m_home, QStringLiteral("Members"), {QStringLiteral("Last Name"), QStringLiteral("Town")},
                           {QStringLiteral("Letter"), QStringLiteral("Card")}, {app + QStringLiteral("Book.csv")}));
        QVERIFY(writeFile(app + QStringLiteral("Letter.txt"), "To &Last Name& in &Town&.\n"));
        QVERIFY(writeFile(app + QStringLiteral("Card.txt"), "&Last Name&\n"));
        QVERIFY(writeFile(app + QStringLiteral("Book.csv"), "Name,Town\r\n&Last Name&,&Town&\r\n"));
    }
    void cleanup() { m_home.reset(); }

    // Quoted fields with commas, quotes and line breaks, non-ASCII letters,
    // in both encodings a user's CSV comes in.
    void quotedFieldsAndEncodings_data()
    {
        QTest::addColumn<QByteArray>("csv");
        const QByteArray utf8 = "Last Name,Town\r\n"
                                "Müller,\"Köln, Altstadt\"\r\n"
                                "\"O\"\"Brien\",\"Line one\nLine two\"\r\n";
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + utf8;
        QTest::newRow("UTF-8") << utf8;
        QByteArray cp1252 = utf8;
        cp1252.replace("\xC3\xBC", "\xFC").replace("\xC3\xB6", "\xF6");
        QTest::newRow("Windows-1252") << cp1252;
    }

    void quotedFieldsAndEncodings()
    {
        QFETCH(QByteArray, csv);
        QVERIFY(writeFile(csvPath(), csv));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"),
                                    csvPath(), QStringLiteral("--save"), QStringLiteral("{Last Name}"),
                                    QStringLiteral("--documents"), QStringLiteral("Letter")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.outLines(), QStringList({QStringLiteral("saved ") + docs() + QStringLiteral("Müller-Letter.txt"),
                                            QStringLiteral("saved ") + docs() + QStringLiteral("O\"Brien-Letter.txt")}));
        QCOMPARE(readFile(docs() + QStringLiteral("Müller-Letter.txt")), QByteArray("To Müller in Köln, Altstadt.\n"));
        QCOMPARE(readFile(docs() + QStringLiteral("O\"Brien-Letter.txt")),
                 QByteArray("To O\"Brien in Line one\nLine two.\n"));
    }

    // A row whose name would leave the folder is refused; the rows around it run.
    void aRefusedRowDoesNotStopTheOthers()
    {
        QVERIFY(writeFile(csvPath(), "Town,Last Name\nRome,Rossi\nNowhere,../../evil\nOslo,Berg\nBari,\"Two\nLines\"\n"));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"),
                                    csvPath(), QStringLiteral("--save"), QStringLiteral("{Last Name}-2026")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("row 3: the save name \"../../evil-2026\" cannot be used")),
                 qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("row 5: the save name \"Two\nLines-2026\" cannot be used")),
                 qPrintable(r.err));
        QCOMPARE(filesIn(docs()), QStringList({QStringLiteral("Berg-2026-Card.txt"), QStringLiteral("Berg-2026-Letter.txt"),
                                               QStringLiteral("Rossi-2026-Card.txt"),
                                               QStringLiteral("Rossi-2026-Letter.txt")}));
        QCOMPARE(readFile(docs() + QStringLiteral("Berg-2026-Letter.txt")), QByteArray("To Berg in Oslo.\n"));
        QVERIFY(!QFile::exists(m_home->path() + QStringLiteral("evil-2026-Card.txt")));
        QCOMPARE(filesIn(m_home->path()), QStringList{QStringLiteral("people.csv")});
    }

    void sheetsGetOneRecordPerRow()
    {
        QVERIFY(writeFile(csvPath(), "Last Name,Town\nAdams,Bath\nBrown,\"York, UK\"\n"));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"),
                                    csvPath(), QStringLiteral("--sheets")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.outLines(), QStringList(2, QStringLiteral("added a record to Book.csv")));
        QCOMPARE(readFile(m_home->appFolder() + QStringLiteral("Book.csv")),
                 QByteArray("Name,Town\r\nAdams,Bath\r\nBrown,\"York, UK\"\r\n&Last Name&,&Town&\r\n"));
        // Documents are left alone without --save or --print.
        QCOMPARE(filesIn(docs()), QStringList());
    }

    void workbookGetsOneRecordPerRow()
    {
        if (!PackageTools::haveOffice())
            QSKIP("LibreOffice is not installed");
        const QString book = m_home->appFolder() + QStringLiteral("row.xlsx");
        QVERIFY(QFile::copy(QStringLiteral(QLT_SOURCE_DIR "/tests/core/fill/workbooks/row.xlsx"), book));
        QVERIFY(writeModel(*m_home, QStringLiteral("Towns"), {QStringLiteral("Name"), QStringLiteral("City")}, {},
                           {book}));
        QVERIFY(writeFile(csvPath(), "City,Name\nRome,Ann\nOslo,Bob\n"));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Towns"), QStringLiteral("--rows"),
                                    csvPath(), QStringLiteral("--sheets")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.outLines(), QStringList(2, QStringLiteral("added a record to row.xlsx")));
        const QString out = m_home->path() + QStringLiteral("converted/");
        QVERIFY(PackageTools::officeConvert({book}, QStringLiteral("csv"), out));
        QCOMPARE(readFile(out + QStringLiteral("row.csv")), QByteArray("Name,City\nAnn,Rome\nBob,Oslo\n&Name&,&City&\n"));
    }

    void documentsLimitTheRun()
    {
        QVERIFY(writeFile(csvPath(), "Last Name\nAdams\nBrown\n"));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"),
                                    csvPath(), QStringLiteral("--save"), QStringLiteral("{Last Name}"),
                                    QStringLiteral("--documents"), QStringLiteral("Card")});
        QCOMPARE(r.status, 0);
        QCOMPARE(filesIn(docs()), QStringList({QStringLiteral("Adams-Card.txt"), QStringLiteral("Brown-Card.txt")}));
        QCOMPARE(readFile(m_home->appFolder() + QStringLiteral("Book.csv")),
                 QByteArray("Name,Town\r\n&Last Name&,&Town&\r\n"));
    }

    void raggedRowsTakenWhenAsked()
    {
        QVERIFY(writeFile(csvPath(), "Last Name,Town\nBrown\nCole,York,UK\n"));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"),
                                    csvPath(), QStringLiteral("--ragged"), QStringLiteral("--save"),
                                    QStringLiteral("{Last Name}"), QStringLiteral("--documents"), QStringLiteral("Letter")});
        QCOMPARE(r.status, 0);
        QCOMPARE(readFile(docs() + QStringLiteral("Brown-Letter.txt")), QByteArray("To Brown in .\n"));
        QCOMPARE(readFile(docs() + QStringLiteral("Cole-Letter.txt")), QByteArray("To Cole in York.\n"));
    }

    // Workbooks made by LibreOffice: the first sheet, its first row naming
    // the columns, sheet rows as line numbers.
    void rowsFromAWorkbook_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("problem"); // "" when the rows run
        const QByteArray good = "Town,Last Name\nBath,Adams\n\n1066,Brown\n";
        QTest::newRow("xlsx") << QStringLiteral("xlsx") << good << QString();
        QTest::newRow("ods") << QStringLiteral("ods") << good << QString();
        QTest::newRow("ods, duplicate header") << QStringLiteral("ods") << QByteArray("Town,Town\nBath,York\n")
                                               << QStringLiteral("row 1: the header names \"Town\" twice");
        QTest::newRow("xlsx, value right of the header")
            << QStringLiteral("xlsx") << QByteArray("Town,Last Name\nBath,Adams\nYork,Brown,UK\n")
            << QStringLiteral("row 3: a value in column C, right of the named columns");
    }

    void rowsFromAWorkbook()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, csv);
        QFETCH(QString, problem);
        if (!PackageTools::haveOffice())
            QSKIP("LibreOffice is not installed");
        QVERIFY(writeFile(csvPath(), csv));
        QVERIFY(PackageTools::officeConvert({csvPath()}, format, m_home->path()));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"),
                                    m_home->path() + QStringLiteral("people.") + format, QStringLiteral("--save"),
                                    QStringLiteral("{Last Name}"), QStringLiteral("--documents"), QStringLiteral("Letter")});
        QCOMPARE(r.status, problem.isEmpty() ? 0 : 2);
        QVERIFY2(r.err.contains(problem), qPrintable(r.err));
        if (!problem.isEmpty())
            return;
        QCOMPARE(filesIn(docs()), QStringList({QStringLiteral("Adams-Letter.txt"), QStringLiteral("Brown-Letter.txt")}));
        QCOMPARE(readFile(docs() + QStringLiteral("Brown-Letter.txt")), QByteArray("To Brown in 1066.\n"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("message");
        QTest::newRow("column naming no field") << QByteArray("Last Name,Postcode\nA,1\n") << QStringLiteral("x")
                                                << QStringLiteral("\"Postcode\"");
        QTest::newRow("header only") << QByteArray("Last Name\n") << QStringLiteral("x")
                                     << QStringLiteral("no data rows");
        QTest::newRow("placeholder naming no field") << QByteArray("Last Name\nA\n") << QStringLiteral("{Surname}")
                                                     << QStringLiteral("\"Surname\"");
        // Lists that are not what the user meant are refused with their line.
        QTest::newRow("unterminated quote") << QByteArray("Last Name,Town\nAdams,\"Bath\nBrown,York\n")
                                            << QStringLiteral("x") << QStringLiteral("line 2: a quoted field is never closed");
        QTest::newRow("duplicate header") << QByteArray("Town,Last Name,town\nBath,Adams,York\n") << QStringLiteral("x")
                                          << QStringLiteral("line 1: the header names \"town\" twice");
        QTest::newRow("UTF-8 with a stray byte") << QByteArray("Last Name\nM\xC3\xBCller\nJos\xE9\n")
                                                 << QStringLiteral("x") << QStringLiteral("line 3: the file is UTF-8 but");
        QTest::newRow("ragged rows") << QByteArray("Last Name,Town\nAdams,Bath\nBrown\nCole,York,UK\n")
                                     << QStringLiteral("x")
                                     << QStringLiteral("(give --ragged to take them):\n  line 3: 1 field where the "
                                                       "header has 2\n  line 4: 3 fields where the header has 2");
    }

    void usageErrors()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, save);
        QFETCH(QString, message);
        QVERIFY(writeFile(csvPath(), csv));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"),
                                    csvPath(), QStringLiteral("--save"), save, QStringLiteral("--sheets")});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(filesIn(docs()), QStringList());
        QCOMPARE(readFile(m_home->appFolder() + QStringLiteral("Book.csv")),
                 QByteArray("Name,Town\r\n&Last Name&,&Town&\r\n"));
    }
};

QTEST_GUILESS_MAIN(FillBatchTest)
#include "tst_fillbatch.moc"
