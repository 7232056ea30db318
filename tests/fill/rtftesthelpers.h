#pragma once

#include "core/render/rtfreader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

// Looking into what the rich-text reader made.
namespace RtfTest {

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

} // namespace RtfTest
