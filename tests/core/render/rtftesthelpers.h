#pragma once

#include "core/render/rtfreader.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

// Looking into what the rich-text reader made.
namespace RtfTest {

// The dark pixels of a page image; with `other`, those dark in one image
// and not in the other.
inline int darkPixels(const QImage &image, const QImage *other = nullptr)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool dark = qGray(image.pixel(x, y)) < 160;
            count += other ? dark != (qGray(other->pixel(x, y)) < 160) : dark;
        }
    return count;
}

inline std::unique_ptr<QTextDocument> read(const QByteArray &rtf) { return RtfReader::toDocument(rtf); }

// The character format at the first occurrence of `text`.
inline QTextCharFormat formatOf(QTextDocument *doc, const QString &text)
{
    QTextCursor c = doc->find(text);
    if (c.isNull())
        return {};
    c.setPosition(c.selectionStart() + 1);
    return c.charFormat();
}

inline QTextBlock blockWith(QTextDocument *doc, const QString &text)
{
    const QTextCursor c = doc->find(text);
    return c.isNull() ? QTextBlock() : c.block();
}

// The tables directly inside `frame`, in order.
inline QList<QTextTable *> tablesIn(QTextFrame *frame)
{
    QList<QTextTable *> tables;
    for (QTextFrame *child : frame->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(child))
            tables << table;
    return tables;
}

inline QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cur = cell.firstCursorPosition();
    cur.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cur.selectedText();
}

#ifdef RTF_FIXTURES
// A file of tests/core/render/data/.
inline QByteArray fixture(const char *name)
{
    QFile f(QStringLiteral(RTF_FIXTURES) + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
#endif

// What a program such as pdftotext prints.
inline QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace RtfTest
