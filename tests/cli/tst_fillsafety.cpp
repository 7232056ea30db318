#include "tests/cli/qltrunner.h"
#include "tests/core/fill/packagetools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

// "QLT fill" run by several people at once, batches whose rows share a save
// name, and save names at which a symbolic link stands: no copy is ever
// mixed, replaced by a later row, or written through a link.
class FillSafetyTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    QString m_temp; // the processes' temporary folder

    QString docs() const { return m_home->documents(); }
    QString app() const { return m_home->appFolder(); }

    // A word-processor package whose text is "&Last Name& of &Town&".
    bool writeDocument(const QString &path)
    {
        const QByteArray text = "&amp;Last Name&amp; of &amp;Town&amp;";
        if (path.endsWith(QStringLiteral(".odt")))
            return PackageTools::writeZip(
                path, {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
                       {QStringLiteral("content.xml"),
                        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>"
                        "<text:p>" + text + "</text:p></office:text></office:body></office:document-content>"}},
                true);
        return PackageTools::writeZip(
            path, {{QStringLiteral("[Content_Types].xml"), "<Types/>"},
                   {QStringLiteral("word/document.xml"),
                    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
                    "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p></w:body></w:document>"}});
    }

    QByteArray textOf(const QString &copy)
    {
        return PackageTools::entry(copy, copy.endsWith(QStringLiteral(".odt")) ? QStringLiteral("content.xml")
                                                                               : QStringLiteral("word/document.xml"));
    }

    QStringList fill(const QString &csv, const QStringList &extra = {}) const
    {
        return QStringList{QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"), csv,
                           QStringLiteral("--save"), QStringLiteral("{Last Name}")}
               + extra;
    }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_temp = m_home->path() + QStringLiteral("tmp");
        QVERIFY(QDir().mkpath(m_temp));
        qputenv("TMPDIR", QFile::encodeName(m_temp));
        QVERIFY(writeModel(*m_home, QStringLiteral("Members"), {QStringLiteral("Last Name"), QStringLiteral("Town")},
                           {QStringLiteral("Letter")}));
    }
    void cleanup()
    {
        qunsetenv("TMPDIR");
        m_home.reset();
    }

    // Three batches at once: with names of their own every copy holds its
    // own row; with the same names every copy is one batch's, whole.
    void concurrentBatches_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("sameNames");
        QTest::newRow(".odt, own names") << QStringLiteral(".odt") << false;
        QTest::newRow(".docx, own names") << QStringLiteral(".docx") << false;
        QTest::newRow(".docx, same names") << QStringLiteral(".docx") << true;
    }

    void concurrentBatches()
    {
        QFETCH(QString, extension);
        QFETCH(bool, sameNames);
        constexpr int kProcesses = 3;
        constexpr int kRows = 8;
        QVERIFY(writeDocument(app() + QStringLiteral("Letter") + extension));
        QList<QStringList> runs;
        for (int p = 1; p <= kProcesses; ++p) {
            QByteArray csv = "Last Name,Town\n";
            for (int r = 1; r <= kRows; ++r)
                csv += (sameNames ? "N" : "P" + QByteArray::number(p) + "-") + QByteArray::number(r) + ",Town"
                       + QByteArray::number(p) + "\n";
            const QString path = m_home->path() + QStringLiteral("rows%1.csv").arg(p);
            QVERIFY(writeFile(path, csv));
            runs << fill(path);
        }
        const QList<QltResult> results = runQltTogether(runs);
        for (const QltResult &r : results) {
            QCOMPARE(r.status, 0);
            QCOMPARE(r.outLines().size(), kRows);
            // Nothing said saved that is not there, whole.
            for (const QString &line : r.outLines())
                QVERIFY2(QFileInfo(line.mid(6)).size() > 0, qPrintable(line));
        }
        const QStringList copies = filesIn(docs());
        QCOMPARE(copies.size(), sameNames ? kRows : kProcesses * kRows);
        for (const QString &copy : copies) {
            const QByteArray text = textOf(docs() + copy);
            const QByteArray name = copy.left(copy.lastIndexOf(QStringLiteral("-Letter"))).toUtf8();
            QVERIFY2(text.contains(name + " of Town"), text.constData());
            if (!sameNames)
                QVERIFY2(text.contains(" of Town" + name.mid(1, 1)), text.constData());
        }
        // Every fill's own files are gone, and the fixed print name was never used.
        QCOMPARE(QDir(m_temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        QVERIFY(QDir(app()).entryList({QStringLiteral("temprtf*")}).isEmpty());
    }

    // A later row never replaces an earlier row's copy: it gets a number,
    // its PDF copy too; a copy from before the batch is replaced.
    void rowsWithOneSaveName_data()
    {
        QTest::addColumn<QByteArray>("names");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QStringList>("saved");
        QTest::newRow("two Smiths") << QByteArray("Smith\nSmith\n") << QStringLiteral("Letter.txt")
                                    << QStringList{QStringLiteral("Smith-Letter.txt"), QStringLiteral("Smith (2)-Letter.txt")};
        QTest::newRow("a numbered name taken") << QByteArray("Smith\nSmith\nSmith (2)\n") << QStringLiteral("Letter.txt")
                                               << QStringList{QStringLiteral("Smith-Letter.txt"),
                                                              QStringLiteral("Smith (2)-Letter.txt"),
                                                              QStringLiteral("Smith (2) (2)-Letter.txt")};
        QTest::newRow("letter case") << QByteArray("smith\nSMITH\n") << QStringLiteral("Letter.docx")
                                     << QStringList{QStringLiteral("smith-Letter.docx"), QStringLiteral("SMITH (2)-Letter.docx")};
        QTest::newRow("PDF copies alike") << QByteArray("Smith\nSmith\n") << QStringLiteral("Letter.rtf")
                                          << QStringList{QStringLiteral("Smith-Letter.rtf"), QStringLiteral("Smith-Letter.pdf"),
                                                         QStringLiteral("Smith (2)-Letter.rtf"),
                                                         QStringLiteral("Smith (2)-Letter.pdf")};
    }

    void rowsWithOneSaveName()
    {
        QFETCH(QByteArray, names);
        QFETCH(QString, document);
        QFETCH(QStringList, saved);
        const QString extension = document.mid(document.lastIndexOf(QLatin1Char('.')));
        if (extension == QStringLiteral(".docx"))
            QVERIFY(writeDocument(app() + document));
        else
            QVERIFY(writeFile(app() + document, extension == QStringLiteral(".rtf")
                                                    ? "{\\rtf1\\ansi &Last Name& of &Town&\\par}"
                                                    : "&Last Name& of &Town&"));
        QVERIFY(writeFile(docs() + saved.first(), "from before the batch"));
        QByteArray csv = "Last Name,Town\n";
        int row = 0;
        for (const QByteArray &name : names.split('\n'))
            if (!name.isEmpty())
                csv += name + ",Town" + QByteArray::number(++row) + "\n";
        QVERIFY(writeFile(m_home->path() + QStringLiteral("rows.csv"), csv));
        const QltResult r = runQlt(fill(m_home->path() + QStringLiteral("rows.csv"),
                                        extension == QStringLiteral(".rtf") ? QStringList{QStringLiteral("--pdf")}
                                                                            : QStringList()));
        QCOMPARE(r.status, 0);
        QStringList lines;
        for (const QString &name : saved)
            lines << QStringLiteral("saved ") + docs() + name;
        QCOMPARE(r.outLines(), lines);
        QStringList sorted = saved;
        sorted.sort();
        QCOMPARE(filesIn(docs()), sorted);
        if (extension == QStringLiteral(".txt")) {
            for (int i = 0; i < saved.size(); ++i)
                QCOMPARE(readFile(docs() + saved[i]).right(5), QByteArray("Town") + QByteArray::number(i + 1));
        }
    }

    // A link standing at the save name is replaced; its target is untouched.
    void linkAtTheSaveName_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("linkName");
        QTest::newRow(".docx copy") << QStringLiteral("Letter.docx") << QStringLiteral("Ann-Letter.docx");
        QTest::newRow(".odt copy") << QStringLiteral("Letter.odt") << QStringLiteral("Ann-Letter.odt");
        QTest::newRow(".rtf document's PDF copy") << QStringLiteral("Letter.rtf") << QStringLiteral("Ann-Letter.pdf");
    }

    void linkAtTheSaveName()
    {
        QFETCH(QString, document);
        QFETCH(QString, linkName);
        if (document.endsWith(QStringLiteral(".rtf")))
            QVERIFY(writeFile(app() + document, "{\\rtf1\\ansi &Last Name& of &Town&\\par}"));
        else
            QVERIFY(writeDocument(app() + document));
        const QString target = m_home->path() + QStringLiteral("elsewhere.bin");
        QVERIFY(writeFile(target, "not to be touched"));
        QVERIFY(QFile::link(target, docs() + linkName));
        QStringList arguments{QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--set"),
                              QStringLiteral("Last Name=Ann"), QStringLiteral("--set"), QStringLiteral("Town=Rome"),
                              QStringLiteral("--save"), QStringLiteral("Ann")};
        if (linkName.endsWith(QStringLiteral(".pdf")))
            arguments << QStringLiteral("--pdf");
        const QltResult r = runQlt(arguments);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(readFile(target), QByteArray("not to be touched"));
        const QFileInfo saved(docs() + linkName);
        QVERIFY(!saved.isSymLink());
        QVERIFY(saved.isFile() && saved.size() > 0);
    }
};

QTEST_GUILESS_MAIN(FillSafetyTest)
#include "tst_fillsafety.moc"
