#include "core/fill/deflatereuse.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

namespace Zip::Deflate {

namespace {

// How far back a deflate stream may refer: a reused block decodes alike
// only when this much text before it is unchanged too.
constexpr qint64 kWindow = 32768;

const uchar *bytesOf(const QByteArray &a) { return reinterpret_cast<const uchar *>(a.constData()); }

uint byteAt(const QByteArray &raw, qint64 i) { return i < raw.size() ? bytesOf(raw)[i] : 0u; }

bool bitAt(const QByteArray &raw, qint64 bit) { return (byteAt(raw, bit >> 3) >> (bit & 7)) & 1u; }

// A stored block aligns its content to a byte, so it decodes alike only
// where its bit position keeps its place in the byte. (Office programs
// compress in pieces ended by an empty stored block, so there are many.)
bool isStored(const Mapped &old, int block)
{
    const qint64 bit = old.blocks[block].bit;
    return !bitAt(old.raw, bit + 1) && !bitAt(old.raw, bit + 2);
}

// Copied bits start at a byte boundary of the output: those of a run that
// starts at a byte boundary of the old stream keep their place in the byte.
bool keepsBitPlace(const Mapped &old, int first) { return (old.blocks[first].bit & 7) == 0; }

bool sameText(const QByteArray &a, qint64 from, qint64 to, const QByteArray &b, qint64 at)
{
    if (at < 0 || at + (to - from) > b.size())
        return false;
    return std::memcmp(a.constData() + from, b.constData() + at, size_t(to - from)) == 0;
}

// Blocks [first, last) of the old stream, whose text lies `shift` further on
// in the new text.
struct Run {
    int first;
    int last;
    qint64 shift;
};

// The bits still to be written when the output is not at a byte boundary.
struct Pending {
    int bits = 0;
    uint value = 0;
};

// Compresses text[from, to) as the continuation of what is written so far:
// the text before it is the window, the pending bits come first. Ends at a
// byte boundary (a sync flush), or with the final block when `last`.
bool compressFresh(QByteArray &out, const QByteArray &text, qint64 from, qint64 to, Pending &pending, bool last,
                   int level)
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    bool ok = pending.bits == 0 || deflatePrime(&z, pending.bits, int(pending.value)) == Z_OK;
    if (ok && from > 0) {
        const qint64 window = std::min(from, kWindow);
        ok = deflateSetDictionary(&z, bytesOf(text) + from - window, uInt(window)) == Z_OK;
    }
    const qint64 bound = qint64(deflateBound(&z, uLong(to - from))) + 16;
    const qint64 base = out.size();
    out.resize(base + bound);
    z.next_in = const_cast<Bytef *>(bytesOf(text) + from);
    z.avail_in = uInt(to - from);
    z.next_out = reinterpret_cast<Bytef *>(out.data() + base);
    z.avail_out = uInt(bound);
    if (ok) {
        const int result = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
        ok = last ? result == Z_STREAM_END : result == Z_OK && z.avail_in == 0 && z.avail_out > 0;
    }
    out.resize(base + qint64(z.total_out));
    deflateEnd(&z);
    pending = {};
    return ok;
}

// Appends the old stream's bits [from, to) at a byte boundary of `out`; the
// bits of a last, partial byte stay pending.
void copyBits(QByteArray &out, const QByteArray &raw, qint64 from, qint64 to, Pending &pending)
{
    const int shift = int(from & 7);
    const qint64 first = from >> 3;
    const qint64 whole = (to - from) >> 3;
    const qint64 base = out.size();
    out.resize(base + whole);
    auto *o = reinterpret_cast<uchar *>(out.data() + base);
    const uchar *r = bytesOf(raw) + first;
    if (shift == 0) {
        std::memcpy(o, r, size_t(whole));
    } else {
        // All but the last byte read have a successor inside the stream.
        for (qint64 k = 0; k + 1 < whole; ++k)
            o[k] = uchar((r[k] >> shift) | (r[k + 1] << (8 - shift)));
        if (whole > 0)
            o[whole - 1] = uchar((r[whole - 1] >> shift) | (byteAt(raw, first + whole) << (8 - shift)));
    }
    pending.bits = int((to - from) & 7);
    const uint rest = (byteAt(raw, first + whole) >> shift) | (byteAt(raw, first + whole + 1) << (8 - shift));
    pending.value = pending.bits ? rest & ((1u << pending.bits) - 1) : 0u;
}

// Where the start of an old block is found in the new text near where the
// last shift puts it: after a change of length (a counter that gained a
// digit) the text that follows lies that much further on. 0 when not found.
qint64 probedShift(const QByteArray &old, qint64 from, qint64 to, const QByteArray &text, qint64 guess)
{
    constexpr qint64 kProbe = 64, kReach = 4096;
    if (to - from < kProbe)
        return 0;
    const qint64 low = std::clamp<qint64>(from + guess - kReach, 0, text.size());
    const qint64 high = std::clamp<qint64>(from + guess + kReach + kProbe, low, text.size());
    const qsizetype found = QByteArrayView(text).sliced(low, high - low).indexOf(QByteArrayView(old).sliced(from, kProbe));
    return found < 0 ? 0 : low + found - from;
}

// The runs of old blocks that decode to the same text inside the new one,
// found block by block in order; a block is tried unmoved, shifted as the
// end of the text is, shifted as the block before it, and where a piece of
// it is found nearby.
QList<Run> reusableRuns(const Mapped &old, const QByteArray &text)
{
    QList<Run> runs;
    const int end = int(old.blocks.size()) - 1; // the entry after the final block
    const qint64 oldSize = old.text.size();
    const qint64 newSize = text.size();
    qint64 placed = 0; // new text up to here is taken by the runs so far
    for (int i = 0; i < end; ++i) {
        const qint64 from = old.blocks[i].text, to = old.blocks[i + 1].text;
        const bool final = i + 1 == end; // only at the very end of the new stream
        const bool stored = isStored(old, i);
        if (!runs.isEmpty() && runs.last().last == i && (!stored || keepsBitPlace(old, runs.last().first))) {
            const qint64 shift = runs.last().shift;
            if ((!final || to + shift == newSize) && sameText(old.text, from, to, text, from + shift)) {
                runs.last().last = i + 1;
                placed = to + shift;
                continue;
            }
        }
        if (stored && !keepsBitPlace(old, i))
            continue;
        const qint64 window = std::max<qint64>(0, from - kWindow);
        const qint64 last = runs.isEmpty() ? 0 : runs.last().shift;
        const qint64 shifts[] = {0, newSize - oldSize, last, probedShift(old.text, from, to, text, last)};
        for (const qint64 shift : shifts) {
            if (from + shift < placed || (final && to + shift != newSize))
                continue;
            if (sameText(old.text, from, to, text, from + shift) &&
                sameText(old.text, window, from, text, window + shift)) {
                runs.append({i, i + 1, shift});
                placed = to + shift;
                break;
            }
        }
    }
    return runs;
}

} // namespace

bool inflateMapped(const QByteArray &raw, qint64 size, quint32 crc, Mapped *out)
{
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    // One byte more than the size: a stream that gives more fills it.
    QByteArray text(size + 1, Qt::Uninitialized);
    QList<BlockStart> blocks{{0, 0}};
    z.next_in = const_cast<Bytef *>(bytesOf(raw));
    z.avail_in = uInt(raw.size());
    z.next_out = reinterpret_cast<Bytef *>(text.data());
    z.avail_out = uInt(size + 1);
    int result = Z_OK;
    while (result == Z_OK) {
        // Stops at every block boundary: bit 128 of data_type says so, and
        // its low bits count the bits of the last byte not yet used. It stops
        // after the final block too (bit 64), where no block begins.
        result = inflate(&z, Z_BLOCK);
        const qint64 bit = qint64(z.total_in) * 8 - (z.data_type & 7);
        if (result == Z_OK && (z.data_type & 128) && !(z.data_type & 64) && bit > blocks.last().bit)
            blocks.append({qint64(z.total_out), bit});
    }
    const bool whole = result == Z_STREAM_END && qint64(z.total_out) == size;
    const qint64 endBit = qint64(z.total_in) * 8;
    inflateEnd(&z);
    if (!whole)
        return false;
    blocks.append({size, endBit});
    // The whole text's checksum, made of the blocks' own.
    uLong sum = 0;
    for (qsizetype i = 0; i + 1 < blocks.size(); ++i) {
        const qint64 length = blocks[i + 1].text - blocks[i].text;
        blocks[i].crc = quint32(crc32_z(0, bytesOf(text) + blocks[i].text, size_t(length)));
        sum = crc32_combine(sum, blocks[i].crc, length);
    }
    if (sum != crc)
        return false;
    text.truncate(size);
    out->raw = raw;
    out->text = text;
    out->blocks = blocks;
    return true;
}

QByteArray deflateReusing(const Mapped &old, const QByteArray &text, int level, quint32 *crc)
{
    uLong sum = 0;
    const auto addFresh = [&](qint64 from, qint64 to) {
        sum = crc32_combine(sum, crc32_z(0, bytesOf(text) + from, size_t(to - from)), to - from);
    };
    QByteArray out;
    out.reserve(old.raw.size() + 4096);
    Pending pending;
    qint64 done = 0; // new text written so far
    bool ended = false;
    for (const Run &run : reusableRuns(old, text)) {
        const qint64 start = old.blocks[run.first].text + run.shift;
        // The copied bits must begin at a byte boundary, which a fresh
        // piece before them (possibly empty) gives.
        if ((start > 0 || !out.isEmpty()) && !compressFresh(out, text, done, start, pending, false, level))
            return QByteArray();
        addFresh(done, start);
        copyBits(out, old.raw, old.blocks[run.first].bit, old.blocks[run.last].bit, pending);
        for (int i = run.first; i < run.last; ++i)
            sum = crc32_combine(sum, old.blocks[i].crc, old.blocks[i + 1].text - old.blocks[i].text);
        done = old.blocks[run.last].text + run.shift;
        ended = run.last == old.blocks.size() - 1;
    }
    if (ended) {
        if (pending.bits)
            out.append(char(pending.value));
    } else if (compressFresh(out, text, done, text.size(), pending, true, level)) {
        addFresh(done, text.size());
    } else {
        return QByteArray();
    }
    *crc = quint32(sum);
    return out;
}

} // namespace Zip::Deflate
