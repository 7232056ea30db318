#include "core/fill/rowlist.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A list of rows as the batch fill and the list window read it: what the
// user meant, or the line that says why not (the command line's tests hold
// the plainer cases).
class TestRowList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusedLists_data();
    void refusedLists();
    void recordsKeepTheirLines();

private:
    RowList::List readBytes(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("rows.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        file.close();
        return RowList::read(path);
    }
    QTemporaryDir m_dir;
};

void TestRowList::refusedLists_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("problem"); // how the text starts, line first
    QTest::newRow("quote left open after a quoted line break")
        << QByteArray("Name,Town\n\"A\nB\",Rome\nCy,\"Bath\n") << QStringLiteral("line 4: a quoted field is never closed");
    QTest::newRow("duplicate header") << QByteArray("\n\nName,Town, name \nAnn,Rome,x\n")
                                      << QStringLiteral("line 3: the header names \"name\" twice (columns 1 and 3)");
    QTest::newRow("empty header name") << QByteArray("Name,,Town\nAnn,x,Rome\n")
                                       << QStringLiteral("line 1: column 2 of the header has no name");
    QTest::newRow("trailing delimiter in the header") << QByteArray("Name;Town;\r\nAnn;Rome;\r\n")
                                                      << QStringLiteral("line 1: column 3 of the header has no name");
    QTest::newRow("UTF-8 BOM, cut sequence") << QByteArray("\xEF\xBB\xBFName\nAnn\xC3\n")
                                             << QStringLiteral("line 2: the file is UTF-8 but holds bytes that are not");
}

void TestRowList::refusedLists()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, problem);
    const RowList::List list = readBytes(csv);
    QVERIFY(list.error);
    QVERIFY2(list.error->text().startsWith(problem), qPrintable(list.error->text()));
}

// Windows-1252 files (no UTF-8 sequence at all) still read as before, and
// each record knows the line it starts on, across quoted line breaks.
void TestRowList::recordsKeepTheirLines()
{
    const RowList::List list = readBytes("Name,Town\r\n\"Jos\xE9\",\"K\xF6ln\r\nAltstadt\"\r\n\r\nBob,Oslo\r\n");
    QVERIFY2(!list.error, qPrintable(list.error ? list.error->text() : QString()));
    QVERIFY(list.ragged.isEmpty());
    QCOMPARE(list.records, (QList<QStringList>{{QString::fromUtf8("José"), QString::fromUtf8("Köln\r\nAltstadt")},
                                               {QStringLiteral("Bob"), QStringLiteral("Oslo")}}));
    QCOMPARE(list.lines, (QList<int>{2, 5}));
}

QTEST_GUILESS_MAIN(TestRowList)
#include "tst_rowlist.moc"
