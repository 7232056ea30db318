#include "core/fill/zippackage.h"
#include "tests/support/zipbomb.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <zlib.h>

namespace {

struct Entry {
    QString name;
    QByteArray bytes;
    bool stored = false;
    QByteArray localExtra;
};

// A package written the way office suites write theirs: "mimetype" first
// and stored, everything else deflated, a timestamp extra field on some.
bool writePackage(const QString &path, const QList<Entry> &entries, const char *password = nullptr)
{
    QuaZip zip(path);
    zip.setDataDescriptorWritingEnabled(false);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const Entry &e : entries) {
        QuaZipNewInfo info(e.name);
        info.dateTime = QDateTime(QDate(2024, 3, 5), QTime(14, 22, 10));
        info.extraLocal = e.localExtra;
        QuaZipFile file(&zip);
        quint32 crc = 0;
        if (password)
            crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(e.bytes.constData()), uInt(e.bytes.size())));
        if (!file.open(QIODevice::WriteOnly, info, password, crc, e.stored ? 0 : Z_DEFLATED, Z_BEST_SPEED))
            return false;
        file.write(e.bytes);
        file.close();
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The local records (header, name, extra field and compressed data) of a
// package without data descriptors, in file order, by entry name.
QList<QPair<QString, QByteArray>> localRecords(const QByteArray &zip)
{
    QList<QPair<QString, QByteArray>> records;
    qsizetype at = 0;
    const auto u16 = [&](qsizetype o) { return qFromLittleEndian<quint16>(zip.constData() + at + o); };
    const auto u32 = [&](qsizetype o) { return qFromLittleEndian<quint32>(zip.constData() + at + o); };
    while (at + 30 <= zip.size() && u32(0) == 0x04034b50) {
        const qsizetype length = 30 + u16(26) + u16(28) + u32(18);
        records.append({QString::fromUtf8(zip.mid(at + 30, u16(26))), zip.mid(at, length)});
        at += length;
    }
    return records;
}

const QByteArray kTimestampExtra = QByteArray::fromHex("5554050001a0b1c2d3");

QList<Entry> officeLikeEntries()
{
    return {
        {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet", true, {}},
        {QStringLiteral("content.xml"), QByteArray("<office:document-content>").repeated(200), false, {}},
        {QStringLiteral("styles.xml"), QByteArray("<style/>").repeated(50), false, kTimestampExtra},
        {QStringLiteral("Pictures/"), QByteArray(), true, {}},
        {QStringLiteral("META-INF/manifest.xml"), "<manifest/>", false, {}},
    };
}

} // namespace

class TestZipPackage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsEntriesInOrder();
    void rewriteKeepsUntouchedEntriesByteIdentical();
    void addedEntriesFollowTheOthers();
    void badPackagesAreRefused_data();
    void badPackagesAreRefused();
    void entryInflatingPastTheLimitIsRefused();
    void totalLimitCoversEveryRead();
    void unwritableTargetLeavesNoFile();

private:
    QTemporaryDir m_dir;
};

void TestZipPackage::readsEntriesInOrder()
{
    const QString path = m_dir.filePath(QStringLiteral("order.ods"));
    QVERIFY(writePackage(path, officeLikeEntries()));
    Zip::Package package;
    QVERIFY2(package.open(path), qPrintable(package.errorString()));
    QStringList expected;
    for (const Entry &e : officeLikeEntries())
        expected << e.name;
    QCOMPARE(package.entryNames(), expected);
    for (const Entry &e : officeLikeEntries()) {
        QByteArray bytes;
        QVERIFY2(package.read(e.name, &bytes), qPrintable(package.errorString()));
        QCOMPARE(bytes, e.bytes);
    }
    QByteArray none;
    QVERIFY(!package.read(QStringLiteral("settings.xml"), &none));
    QVERIFY(package.errorString().contains(QStringLiteral("settings.xml")));
}

void TestZipPackage::rewriteKeepsUntouchedEntriesByteIdentical()
{
    const QString path = m_dir.filePath(QStringLiteral("source.ods"));
    const QString target = m_dir.filePath(QStringLiteral("target.ods"));
    QVERIFY(writePackage(path, officeLikeEntries()));
    const QByteArray before = readAll(path);

    Zip::Package package;
    QVERIFY(package.open(path));
    const QByteArray content = "<office:document-content>filled</office:document-content>";
    QVERIFY2(package.write(target, {{QStringLiteral("content.xml"), content}}), qPrintable(package.errorString()));
    QCOMPARE(readAll(path), before);

    const auto old = localRecords(before);
    const auto now = localRecords(readAll(target));
    QCOMPARE(now.size(), old.size());
    for (int i = 0; i < old.size(); ++i) {
        QCOMPARE(now[i].first, old[i].first);
        if (old[i].first != QLatin1String("content.xml"))
            QCOMPARE(now[i].second.toHex(), old[i].second.toHex());
    }
    // The first record is "mimetype", stored, without an extra field.
    QCOMPARE(qFromLittleEndian<quint16>(now[0].second.constData() + 8), quint16(0));
    QCOMPARE(qFromLittleEndian<quint16>(now[0].second.constData() + 28), quint16(0));

    Zip::Package result;
    QVERIFY(result.open(target));
    QByteArray bytes;
    QVERIFY(result.read(QStringLiteral("content.xml"), &bytes));
    QCOMPARE(bytes, content);
    QVERIFY(result.read(QStringLiteral("styles.xml"), &bytes));
    QCOMPARE(bytes, officeLikeEntries()[2].bytes);
}

void TestZipPackage::addedEntriesFollowTheOthers()
{
    const QString path = m_dir.filePath(QStringLiteral("add.ods"));
    const QString target = m_dir.filePath(QStringLiteral("add-out.ods"));
    QVERIFY(writePackage(path, officeLikeEntries()));
    Zip::Package package;
    QVERIFY(package.open(path));
    QVERIFY(package.write(target, {{QStringLiteral("b.xml"), "b"}, {QStringLiteral("a.xml"), "a"}}));
    Zip::Package result;
    QVERIFY(result.open(target));
    QStringList expected;
    for (const Entry &e : officeLikeEntries())
        expected << e.name;
    expected << QStringLiteral("a.xml") << QStringLiteral("b.xml");
    QCOMPARE(result.entryNames(), expected);
}

void TestZipPackage::badPackagesAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("opens");
    QTest::newRow("missing file") << QStringLiteral("missing") << false;
    QTest::newRow("not a zip") << QStringLiteral("text") << false;
    QTest::newRow("truncated") << QStringLiteral("truncated") << false;
    QTest::newRow("empty file") << QStringLiteral("empty") << false;
    QTest::newRow("encrypted entries") << QStringLiteral("encrypted") << false;
    QTest::newRow("damaged data") << QStringLiteral("damaged") << true;
    // Written again, the part would lose the rest of its name.
    QTest::newRow("NUL in a part name") << QStringLiteral("nul") << false;
}

void TestZipPackage::badPackagesAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    const QString good = m_dir.filePath(QStringLiteral("good-") + kind + QStringLiteral(".ods"));
    const QString path = m_dir.filePath(QStringLiteral("bad-") + kind + QStringLiteral(".ods"));
    QVERIFY(writePackage(good, officeLikeEntries()));
    QByteArray bytes = readAll(good);
    if (kind == QLatin1String("text"))
        bytes = "Name,City\r\n&Name&,&City&\r\n";
    else if (kind == QLatin1String("truncated"))
        bytes.truncate(bytes.size() / 2);
    else if (kind == QLatin1String("empty"))
        bytes.clear();
    else if (kind == QLatin1String("nul"))
        bytes.replace(QByteArrayLiteral("content.xml"), QByteArray("cont\0nt.xml", 11));
    else if (kind == QLatin1String("damaged")) {
        // Overwrite the middle of content.xml's deflated data.
        const qsizetype at = bytes.indexOf("content.xml") + 11 + 40;
        for (int i = 0; i < 12; ++i)
            bytes[at + i] = char(0xA5 ^ i);
    }
    if (kind == QLatin1String("encrypted")) {
        QVERIFY(writePackage(path, officeLikeEntries(), "secret"));
    } else if (kind != QLatin1String("missing")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QByteArray before = readAll(path);

    Zip::Package package;
    QCOMPARE(package.open(path), opens);
    if (opens) {
        QByteArray content;
        QVERIFY(!package.read(QStringLiteral("content.xml"), &content));
        QVERIFY(content.isEmpty());
    }
    QVERIFY(package.errorString().contains(path));
    QCOMPARE(readAll(path), before);
}

void TestZipPackage::entryInflatingPastTheLimitIsRefused()
{
    const QString path = m_dir.filePath(QStringLiteral("bomb.xlsx"));
    QVERIFY(ZipBomb::write(path, QStringLiteral("xl/worksheets/sheet1.xml"), 300));
    Zip::Package package;
    QVERIFY(package.open(path));
    QByteArray bytes;
    QVERIFY(!package.read(QStringLiteral("xl/worksheets/sheet1.xml"), &bytes));
    QVERIFY(bytes.isEmpty());
    QVERIFY2(package.errorString().contains(QStringLiteral("256 MB")), qPrintable(package.errorString()));
}

void TestZipPackage::totalLimitCoversEveryRead()
{
    const QString path = m_dir.filePath(QStringLiteral("total.ods"));
    QVERIFY(writePackage(path, officeLikeEntries()));
    Zip::Limits limits;
    limits.totalBytes = 6000; // content.xml alone is 5000 bytes
    Zip::Package package(limits);
    QVERIFY(package.open(path));
    QByteArray bytes;
    QVERIFY(package.read(QStringLiteral("content.xml"), &bytes));
    QVERIFY(!package.read(QStringLiteral("content.xml"), &bytes));
    QVERIFY(package.errorString().contains(QStringLiteral("inflates past")));
}

void TestZipPackage::unwritableTargetLeavesNoFile()
{
    const QString path = m_dir.filePath(QStringLiteral("keep.ods"));
    QVERIFY(writePackage(path, officeLikeEntries()));
    Zip::Package package;
    QVERIFY(package.open(path));
    const QString target = m_dir.filePath(QStringLiteral("no-such-folder/out.ods"));
    QVERIFY(!package.write(target, {}));
    QVERIFY(!QFile::exists(target));
    QVERIFY(package.errorString().contains(target));
}

QTEST_GUILESS_MAIN(TestZipPackage)
#include "tst_zippackage.moc"
