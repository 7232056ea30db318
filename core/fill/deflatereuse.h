#pragma once

#include <QByteArray>
#include <QList>

// Raw deflate streams, as zip entries hold them, read together with the
// places where their blocks begin, and written again for a changed text by
// reusing the compressed blocks that the change leaves alone. A fill changes
// a few rows of a worksheet part of megabytes, whose compression would cost
// more than all the rest of the fill.
namespace Zip::Deflate {

struct BlockStart {
    qint64 text = 0; // offset in the inflated text
    qint64 bit = 0;  // offset in the compressed stream, in bits
    quint32 crc = 0; // checksum of the block's text, so a copy needs no new one
};

struct Mapped {
    QByteArray raw;  // the compressed stream
    QByteArray text; // what it inflates to
    // Where each block begins, and last the end of the stream.
    QList<BlockStart> blocks;
};

// Inflates `raw`, which must give exactly `size` bytes with the checksum
// `crc`. False when it does not (the caller's own reading then says why).
bool inflateMapped(const QByteArray &raw, qint64 size, quint32 crc, Mapped *out);

// A raw deflate stream of `text`: the blocks of `old` whose text, and the
// window they may refer back to, are unchanged in `text` are copied bit for
// bit, the rest is compressed afresh at `level`. Empty when zlib fails.
// Gives the checksum of `text` too.
QByteArray deflateReusing(const Mapped &old, const QByteArray &text, int level, quint32 *crc);

} // namespace Zip::Deflate
