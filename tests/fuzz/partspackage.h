#pragma once

// Zip packages for the fuzz targets whose readers look inside them. A
// mutated deflated or checksummed entry is refused at the zip layer, so an
// input that is not itself a zip file is read as a list of parts, each
// starting with a line "==> name", and stored into a fresh package: the
// fuzzer then mutates the XML the readers parse.

#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <QPair>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

namespace Fuzz {

inline QList<QPair<QString, QByteArray>> splitParts(const QByteArray &text)
{
    QList<QPair<QString, QByteArray>> parts;
    const QByteArray mark = "==> ";
    qsizetype at = text.startsWith(mark) ? 0 : text.indexOf("\n" + mark);
    while (at >= 0 && at < text.size()) {
        if (text[at] == '\n')
            ++at;
        const qsizetype nameEnd = text.indexOf('\n', at);
        if (nameEnd < 0)
            break;
        const QString name = QString::fromUtf8(text.mid(at + mark.size(), nameEnd - at - mark.size()));
        const qsizetype next = text.indexOf("\n" + mark, nameEnd);
        const qsizetype end = next < 0 ? text.size() : next;
        parts.append({name, text.mid(nameEnd + 1, end - nameEnd - 1)});
        at = next;
    }
    return parts;
}

// The bytes of a zip file: the input itself when it is one, else its parts
// stored uncompressed. Empty when no package can be made of them.
inline QByteArray packageBytes(const QByteArray &input)
{
    if (input.startsWith("PK"))
        return input;
    QBuffer buffer;
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate))
        return {};
    for (const auto &[name, bytes] : splitParts(input)) {
        QuaZipFile file(&zip);
        if (name.isEmpty() || !file.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, 0)
            || file.write(bytes) != bytes.size())
            return {};
        file.close();
    }
    zip.close();
    return zip.getZipError() == 0 ? buffer.data() : QByteArray();
}

} // namespace Fuzz
