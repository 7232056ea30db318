#include "tests/cli/qltrunner.h"
#include "tests/core/fill/packagetools.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <memory>

// "QLT fill" for one set of values: what is saved, printed to the console,
// and the exit status a script sees.
class FillCommandTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;

    QString docs() const { return m_home->documents(); }

    static QString newFile(const QString &folder, const QStringList &before)
    {
        for (const QString &name : filesIn(folder))
            if (!before.contains(name) && name.endsWith(QStringLiteral(".pdf")))
                return name;
        return QString();
    }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        const QString app = m_home->appFolder();
        QVERIFY(writeModel(*m_home, QStringLiteral("Letters"), {QStringLiteral("First Name"), QStringLiteral("Last Name")},
                           {QStringLiteral("Letter"), QStringLiteral("Note")}));
        QVERIFY(writeFile(app + QStringLiteral("Letter.rtf"),
                          "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0 Dear &First Name& &Last Name&,\\par}"));
        QVERIFY(writeFile(app + QStringLiteral("Note.txt"), "Note for &Last Name&, &First Name&.\n"));
    }
    void cleanup() { m_home.reset(); }

    void oneLetterIsSaved()
    {
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("First Name=Zoë"), QStringLiteral("--set=Last Name=Smith"),
                                    QStringLiteral("--save"), QStringLiteral("Smith")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.outLines(), QStringList({QStringLiteral("saved ") + docs() + QStringLiteral("Smith-Letter.rtf"),
                                            QStringLiteral("saved ") + docs() + QStringLiteral("Smith-Note.txt")}));
        QCOMPARE(readFile(docs() + QStringLiteral("Smith-Note.txt")), QByteArray("Note for Smith, Zoë.\n"));
        const QByteArray letter = readFile(docs() + QStringLiteral("Smith-Letter.rtf"));
        QVERIFY2(letter.contains("Smith") && !letter.contains("&First Name&"), letter.constData());
    }

    void valuesFromADataSetWithOneOverride()
    {
        QVERIFY(writeFile(m_home->appFolder() + QStringLiteral("Letters/Jones"), "Ann\r\nJones\r\n"));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--values"),
                                    QStringLiteral("Jones"), QStringLiteral("--set"), QStringLiteral("First Name=Bea"),
                                    QStringLiteral("--save"), QStringLiteral("-reverse"), QStringLiteral("--documents"),
                                    QStringLiteral("Note")});
        QCOMPARE(r.status, 0);
        // A value that the GUI library would take for an option of its own stays ours.
        QCOMPARE(filesIn(docs()), QStringList{QStringLiteral("-reverse-Note.txt")});
        QCOMPARE(readFile(docs() + QStringLiteral("-reverse-Note.txt")), QByteArray("Note for Jones, Bea.\n"));
    }

    void outFolderRelativeToTheCurrentFolder()
    {
        QVERIFY(QDir().mkpath(m_home->path() + QStringLiteral("work/out")));
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("Last Name=Lee"), QStringLiteral("--save"), QStringLiteral("L"),
                                    QStringLiteral("--out"), QStringLiteral("out"), QStringLiteral("--documents"),
                                    QStringLiteral("Note")},
                                   m_home->path() + QStringLiteral("work"));
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("saved ") + m_home->path() + QStringLiteral("work/out/L-Note.txt\n"));
        QCOMPARE(filesIn(docs()), QStringList());
    }

    void pdfCopyReadsBack()
    {
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("First Name=Ann"), QStringLiteral("--set"),
                                    QStringLiteral("Last Name=Smith"), QStringLiteral("--save"), QStringLiteral("S"),
                                    QStringLiteral("--pdf"), QStringLiteral("--documents"), QStringLiteral("Letter")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.outLines().contains(QStringLiteral("saved ") + docs() + QStringLiteral("S-Letter.pdf")));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {docs() + QStringLiteral("S-Letter.pdf"), QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        QVERIFY2(QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("Dear Ann Smith,")),
                 qPrintable(r.err));
    }

    // From a cron job or an ssh session: no display, nothing said about one.
    void worksWithoutADisplay()
    {
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("Last Name=Kent"), QStringLiteral("--save"), QStringLiteral("K"),
                                    QStringLiteral("--pdf")},
                                   QString(),
                                   {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("DISPLAY"),
                                    QStringLiteral("WAYLAND_DISPLAY")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(QFile::exists(docs() + QStringLiteral("K-Letter.pdf")));
        QVERIFY(QFile::exists(docs() + QStringLiteral("K-Note.pdf")));
    }

    // Through the test script's private spooler, whose printer writes PDFs.
    void printsWithTheFasterMethod()
    {
        const QString spool = qEnvironmentVariable("QLT_TEST_PRINT_OUT");
        if (spool.isEmpty())
            QSKIP("no test print spooler (scripts/test.sh starts one)");
        const QStringList before = filesIn(spool);
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("First Name=Ann"), QStringLiteral("--set"),
                                    QStringLiteral("Last Name=Quillby"), QStringLiteral("--print"),
                                    QStringLiteral("--documents"), QStringLiteral("Letter")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.outLines(), QStringList{QStringLiteral("printed Letter")});
        QCOMPARE(filesIn(docs()), QStringList());
        QString job;
        QTRY_VERIFY_WITH_TIMEOUT(!(job = newFile(spool, before)).isEmpty(), 30000);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {spool + QLatin1Char('/') + job, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("Dear Ann Quillby,")), qPrintable(job + QLatin1Char(' ') + printed));
    }

    // Nothing printed is never "printed": the spooler's refusal is a problem.
    void printerThatRejectsJobsIsAProblem_data()
    {
        QTest::addColumn<QString>("method");
        QTest::newRow("faster") << QStringLiteral("faster");
        QTest::newRow("quality") << QStringLiteral("quality");
    }

    void printerThatRejectsJobsIsAProblem()
    {
        QFETCH(QString, method);
        if (qEnvironmentVariable("QLT_TEST_PRINT_OUT").isEmpty())
            QSKIP("no test print spooler (scripts/test.sh starts one)");
        const QStringList printer{QStringLiteral("QuillmatePDF")};
        QCOMPARE(QProcess::execute(QStringLiteral("cupsreject"), printer), 0);
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("Last Name=Quillby"), QStringLiteral("--print"), method});
        QProcess::execute(QStringLiteral("cupsaccept"), printer);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.outLines(), QStringList());
        for (const QString &document : {QStringLiteral("Letter"), QStringLiteral("Note")})
            QVERIFY2(r.err.contains(QStringLiteral("The printer QuillmatePDF does not accept jobs"))
                         && r.err.contains(QStringLiteral("while printing ") + document),
                     qPrintable(r.err));
    }

    // The file system's limit is named, not some later step's failure.
    void saveNameTooLongSaysSo()
    {
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("Last Name=Smith"), QStringLiteral("--save"), QString(240, QLatin1Char('x')),
                                    QStringLiteral("--pdf")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("The save name is too long: the copy of \"Letter\" would get a file "
                                               "name of 247 bytes")),
                 qPrintable(r.err));
        QCOMPARE(filesIn(docs()), QStringList());
    }

    // A failing item is a problem with the window's text; the others still run.
    void aFailingSaveIsAProblemAndTheNextDocumentFollows()
    {
        QVERIFY(QDir().mkpath(docs() + QStringLiteral("S-Letter.rtf"))); // a folder where the copy goes
        const QltResult r = runQlt({QStringLiteral("fill"), QStringLiteral("Letters"), QStringLiteral("--set"),
                                    QStringLiteral("Last Name=Smith"), QStringLiteral("--save"), QStringLiteral("S")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral(" while saving")), qPrintable(r.err));
        QCOMPARE(r.outLines(), QStringList{QStringLiteral("saved ") + docs() + QStringLiteral("S-Note.txt")});
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString set = QStringLiteral("--set");
        const QString save = QStringLiteral("--save");
        QTest::newRow("unknown model") << QStringList{QStringLiteral("Nope"), set, QStringLiteral("Last Name=A"), save,
                                                      QStringLiteral("A")}
                                       << QStringLiteral("unknown model \"Nope\"");
        QTest::newRow("model outside the folder")
            << QStringList{QStringLiteral("../Letters"), set, QStringLiteral("Last Name=A"), save, QStringLiteral("A")}
            << QStringLiteral("cannot be used");
        QTest::newRow("field the model lacks")
            << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Town=Rome"), save, QStringLiteral("A")}
            << QStringLiteral("names no field of the model \"Letters\": \"Town\"");
        QTest::newRow("no values") << QStringList{QStringLiteral("Letters"), save, QStringLiteral("A")}
                                   << QStringLiteral("no values");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("Letters"), QStringLiteral("--colour")}
                                        << QStringLiteral("unknown option: --colour");
        QTest::newRow("wait that is no number")
            << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Last Name=A"), QStringLiteral("--sheets"),
                           QStringLiteral("--wait"), QStringLiteral("-1")}
            << QStringLiteral("--wait needs a number of seconds, not \"-1\"");
        QTest::newRow("unknown data set")
            << QStringList{QStringLiteral("Letters"), QStringLiteral("--values"), QStringLiteral("Nobody"), save,
                           QStringLiteral("A")}
            << QStringLiteral("No data exists with that identifier");
        QTest::newRow("unknown document")
            << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Last Name=A"), save, QStringLiteral("A"),
                           QStringLiteral("--documents"), QStringLiteral("Letter,Memo")}
            << QStringLiteral("has no document \"Memo\"");
        QTest::newRow("nothing to do") << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Last Name=A")}
                                       << QStringLiteral("nothing to do");
        QTest::newRow("save name leaving the folder")
            << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Last Name=A"), save, QStringLiteral("../A")}
            << QStringLiteral("cannot be used");
        QTest::newRow("save name with a right-to-left override")
            << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Last Name=A"), save,
                           QStringLiteral("Invoice\u202Efdp")}
            << QStringLiteral("Names cannot contain right-to-left or other text direction controls");
        QTest::newRow("save name with a zero-width space")
            << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Last Name=A"), save, QStringLiteral("Sm\u200Bith")}
            << QStringLiteral("Names cannot contain zero-width");
        QTest::newRow("missing out folder")
            << QStringList{QStringLiteral("Letters"), set, QStringLiteral("Last Name=A"), save, QStringLiteral("A"),
                           QStringLiteral("--out"), QStringLiteral("/nonexistent/q")}
            << QStringLiteral("no such folder");
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const QltResult r = runQlt(QStringList{QStringLiteral("fill")} + arguments);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        QCOMPARE(filesIn(docs()), QStringList());
    }

    void helpNamesTheCommand()
    {
        const QltResult all = runQlt({QStringLiteral("--help")});
        QCOMPARE(all.status, 0);
        QVERIFY(all.out.contains(QStringLiteral("QLT fill MODEL")));
        const QltResult fill = runQlt({QStringLiteral("fill"), QStringLiteral("--help")});
        QCOMPARE(fill.status, 0);
        QVERIFY(fill.out.contains(QStringLiteral("--rows FILE")));
        QVERIFY(fill.out.contains(QStringLiteral("--ragged")));
        QVERIFY(!QFile::exists(m_home->appFolder() + QStringLiteral("qlt.ini")));
    }
};

QTEST_GUILESS_MAIN(FillCommandTest)
#include "tst_fillcommand.moc"
