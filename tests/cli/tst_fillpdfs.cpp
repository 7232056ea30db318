#include "tests/cli/qltrunner.h"
#include "tests/core/fill/packagetools.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

// "QLT fill --pdf" by two people at once: each process's office has a
// profile of its own, so every PDF copy is made, from its own row.
class FillPdfsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void concurrentPdfCopies()
    {
        if (!PackageTools::haveOffice())
            QSKIP("LibreOffice is not installed");
        TestHome home;
        const QString app = home.appFolder();
        QVERIFY(writeModel(home, QStringLiteral("Members"), {QStringLiteral("Last Name"), QStringLiteral("Town")},
                           {QStringLiteral("Letter")}));
        QVERIFY(writeFile(home.path() + QStringLiteral("Letter.rtf"), "{\\rtf1\\ansi Dear &Last Name& of &Town&\\par}"));
        QVERIFY(PackageTools::officeConvert({home.path() + QStringLiteral("Letter.rtf")}, QStringLiteral("docx"), app));
        constexpr int kRows = 5;
        QList<QStringList> runs;
        for (int p = 1; p <= 2; ++p) {
            QByteArray csv = "Last Name,Town\n";
            for (int r = 1; r <= kRows; ++r)
                csv += "P" + QByteArray::number(p) + "x" + QByteArray::number(r) + ",Rome\n";
            const QString path = home.path() + QStringLiteral("rows%1.csv").arg(p);
            QVERIFY(writeFile(path, csv));
            runs << QStringList{QStringLiteral("fill"), QStringLiteral("Members"), QStringLiteral("--rows"), path,
                                QStringLiteral("--save"), QStringLiteral("{Last Name}"), QStringLiteral("--pdf")};
        }
        for (const QltResult &r : runQltTogether(runs)) {
            QVERIFY2(r.status == 0, qPrintable(r.err));
            QCOMPARE(r.outLines().size(), 2 * kRows);
        }
        const QStringList pdfs = QDir(home.documents()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        QCOMPARE(pdfs.size(), 2 * kRows);
        for (const QString &pdf : pdfs) {
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {home.documents() + pdf, QStringLiteral("-")});
            QVERIFY(text.waitForFinished(30000));
            const QString name = pdf.left(pdf.indexOf(QLatin1Char('-')));
            QVERIFY2(QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("Dear ") + name),
                     qPrintable(pdf));
        }
    }
};

QTEST_GUILESS_MAIN(FillPdfsTest)
#include "tst_fillpdfs.moc"
