#include "core/fill/deflatereuse.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <zlib.h>

using namespace Zip::Deflate;

// A changed part is written by copying the compressed blocks that the change
// leaves alone: what it inflates to must be the new text exactly, whatever
// the change, and a change of a few rows must not cost a compression of
// the whole part.
class TestDeflateReuse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inflatesToTheNewText_data();
    void inflatesToTheNewText();
    void randomChangesInflateToTheirText();
    void damagedOrMisdeclaredStreamIsNotMapped();

private:
    // Rows of a worksheet, somewhat varied, so that blocks differ.
    static QByteArray rows(int count, quint32 seed);
    // A raw deflate stream as office programs write it: in pieces of
    // `piece` bytes each ended by a sync flush (0: one piece), each using the
    // text before it.
    static QByteArray compress(const QByteArray &text, int level, qint64 piece);
    static QByteArray inflated(const QByteArray &raw, qint64 size);

    // The old text of inflatesToTheNewText, mapped once per piece size: its
    // cases differ only in the change.
    QByteArray m_old = rows(6000, 7);
    QHash<qint64, Mapped> m_mapped;
};

QByteArray TestDeflateReuse::rows(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray text = "<sheetData>";
    for (int r = 1; r <= count; ++r) {
        text += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 0; c < 5; ++c)
            text += "<c r=\"" + QByteArray(1, char('A' + c)) + QByteArray::number(r) + "\" s=\"" +
                    QByteArray::number(random.bounded(4)) + "\" t=\"s\"><v>" +
                    QByteArray::number(random.bounded(100000)) + "</v></c>";
        text += "</row>";
    }
    return text + "</sheetData>";
}

QByteArray TestDeflateReuse::compress(const QByteArray &text, int level, qint64 piece)
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    QByteArray out(qsizetype(deflateBound(&z, uLong(text.size()))) + text.size() / 1000 + 64, Qt::Uninitialized);
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    const qint64 step = piece > 0 ? piece : text.size();
    for (qint64 at = 0; at < text.size() || at == 0; at += step) {
        const qint64 n = std::min(step, text.size() - at);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.constData() + at));
        z.avail_in = uInt(n);
        const bool last = at + n >= text.size();
        if (deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH) != (last ? Z_STREAM_END : Z_OK))
            return QByteArray();
        if (last)
            break;
    }
    out.truncate(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray TestDeflateReuse::inflated(const QByteArray &raw, qint64 size)
{
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return QByteArray("(no inflater)");
    QByteArray out(size + 1, Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.constData()));
    z.avail_in = uInt(raw.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    const int result = inflate(&z, Z_FINISH);
    out.truncate(qsizetype(z.total_out));
    inflateEnd(&z);
    return result == Z_STREAM_END ? out : QByteArray("(damaged stream)");
}

void TestDeflateReuse::inflatesToTheNewText_data()
{
    QTest::addColumn<qint64>("piece");
    QTest::addColumn<qint64>("at");     // where the change is, from the start (negative: from the end)
    QTest::addColumn<int>("removed");   // characters taken out there
    QTest::addColumn<QByteArray>("put"); // and put in
    QTest::addColumn<bool>("local");    // a change small enough for reuse to pay
    const QByteArray row = "<row r=\"6001\"><c r=\"A6001\" t=\"inlineStr\"><is><t>Ann &amp; Bob</t></is></c></row>";
    for (const qint64 piece : {qint64(0), qint64(128 << 10), qint64(50000)}) {
        const QByteArray in = piece ? " in pieces of " + QByteArray::number(piece) : " in one piece";
        QTest::addRow("nothing changed%s", in.constData()) << piece << qint64(0) << 0 << QByteArray() << true;
        QTest::addRow("a row added at the end%s", in.constData())
            << piece << qint64(-12) << 0 << row << true;
        QTest::addRow("the last row rewritten%s", in.constData())
            << piece << qint64(-400) << 300 << row << true;
        QTest::addRow("a counter at the start, same length%s", in.constData())
            << piece << qint64(9) << 1 << QByteArray("7") << true;
        QTest::addRow("a counter at the start and a row at the end%s", in.constData())
            << piece << qint64(9) << 1 << QByteArray("77") << true;
        QTest::addRow("a row in the middle%s", in.constData())
            << piece << qint64(200000) << 0 << row << true;
        QTest::addRow("most of it removed%s", in.constData())
            << piece << qint64(100) << 300000 << QByteArray() << false;
        QTest::addRow("everything replaced%s", in.constData())
            << piece << qint64(0) << -1 << QByteArray("<sheetData/>") << false;
    }
}

void TestDeflateReuse::inflatesToTheNewText()
{
    QFETCH(qint64, piece);
    QFETCH(qint64, at);
    QFETCH(int, removed);
    QFETCH(QByteArray, put);
    QFETCH(bool, local);
    const QByteArray &old = m_old;
    if (!m_mapped.contains(piece)) {
        const QByteArray raw = compress(old, 6, piece);
        QVERIFY(!raw.isEmpty());
        Mapped mapped;
        QVERIFY(inflateMapped(raw, old.size(),
                              quint32(crc32(0, reinterpret_cast<const Bytef *>(old.constData()), uInt(old.size()))),
                              &mapped));
        QCOMPARE(mapped.text, old);
        QVERIFY(mapped.blocks.size() > 2);
        m_mapped.insert(piece, mapped);
    }
    const Mapped &mapped = m_mapped[piece];

    QByteArray text = old;
    const qint64 from = at < 0 ? old.size() + at : at;
    text.replace(from, removed < 0 ? old.size() : removed, put);
    // The second change of the same case: a row added at the end.
    if (QByteArray(QTest::currentDataTag()).contains("and a row at the end"))
        text.insert(text.size() - 12, "<row r=\"6001\"/>");
    quint32 crc = 0;
    const QByteArray reused = deflateReusing(mapped, text, Z_BEST_SPEED, &crc);
    QCOMPARE(inflated(reused, text.size()), text);
    QCOMPARE(crc, quint32(crc32(0, reinterpret_cast<const Bytef *>(text.constData()), uInt(text.size()))));
    if (local) {
        // Well below what compressing it all afresh at that level gives.
        const QByteArray afresh = compress(text, Z_BEST_SPEED, 0);
        QVERIFY2(reused.size() < afresh.size() * 9 / 10,
                 qPrintable(QStringLiteral("%1 bytes, afresh %2").arg(reused.size()).arg(afresh.size())));
    }
}

void TestDeflateReuse::randomChangesInflateToTheirText()
{
    QRandomGenerator random(42);
    // Bytes that do not compress make stored blocks, which may only be
    // copied where they keep their place in the byte.
    QByteArray noise(70000, Qt::Uninitialized);
    for (char &c : noise)
        c = char(random.bounded(256));
    const QByteArray plain = rows(3000, 11);
    const QByteArray mixed = plain.left(200000) + noise + plain.mid(200000);
    for (const auto &[old, piece] : {std::pair{plain, qint64(0)}, std::pair{plain, qint64(40000)},
                                     std::pair{mixed, qint64(0)}, std::pair{mixed, qint64(30000)}}) {
        const QByteArray raw = compress(old, 6, piece);
        Mapped mapped;
        QVERIFY(inflateMapped(raw, old.size(),
                              quint32(crc32(0, reinterpret_cast<const Bytef *>(old.constData()), uInt(old.size()))),
                              &mapped));
        for (int round = 0; round < 60; ++round) {
            QByteArray text = old;
            for (int change = random.bounded(1, 6); change > 0; --change) {
                const qint64 at = random.bounded(text.size() + 1);
                const qint64 removed = std::min<qint64>(random.bounded(200), text.size() - at);
                text.replace(at, removed, QByteArray(random.bounded(200), char('a' + random.bounded(26))));
            }
            quint32 crc = 0;
            const QByteArray reused = deflateReusing(mapped, text, Z_BEST_SPEED, &crc);
            QCOMPARE(inflated(reused, text.size()), text);
            QCOMPARE(crc, quint32(crc32(0, reinterpret_cast<const Bytef *>(text.constData()), uInt(text.size()))));
        }
    }
}

void TestDeflateReuse::damagedOrMisdeclaredStreamIsNotMapped()
{
    const QByteArray old = rows(500, 3);
    const QByteArray raw = compress(old, 6, 0);
    const auto crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(old.constData()), uInt(old.size())));
    Mapped mapped;
    QVERIFY(!inflateMapped(raw, old.size() - 1, crc, &mapped));
    QVERIFY(!inflateMapped(raw, old.size() + 1, crc, &mapped));
    QVERIFY(!inflateMapped(raw, old.size(), crc ^ 1u, &mapped));
    QVERIFY(!inflateMapped(raw.left(raw.size() / 2), old.size(), crc, &mapped));
    QByteArray flipped = raw;
    flipped[flipped.size() / 2] = char(flipped.at(flipped.size() / 2) ^ 0x5a);
    QVERIFY(!inflateMapped(flipped, old.size(), crc, &mapped));
    QVERIFY(inflateMapped(raw, old.size(), crc, &mapped));
}

QTEST_GUILESS_MAIN(TestDeflateReuse)
#include "tst_deflatereuse.moc"
