#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <memory>

class QTextTable;
class QTextTableFormat;

#include <QTextCursor>
#include <QTextDocument>

// What the reader collects before it goes into a document: paragraphs of
// formatted runs, and tables whose cells hold paragraphs and tables again.
// A table is written only when it is complete, so the document never
// re-lays out a table row by row.
namespace Rtf {

struct Run {
    QString text;
    QTextCharFormat format;
    QImage image;     // a picture when not null
    QSizeF imageSize; // in document units
};

struct Paragraph {
    QTextBlockFormat format;
    QList<Run> runs;
    bool isEmpty() const { return runs.isEmpty(); }
};

struct Table;

struct Item {
    Paragraph paragraph;
    std::shared_ptr<Table> table; // the item is a table when set
};

struct Cell {
    QList<Item> items;
};

// How a cell joins its neighbours (\clmgf, \clmrg, \clvmgf, \clvmrg).
enum Merge : quint8 { MergeFirst = 1, MergeNext = 2, MergeTop = 4, MergeBelow = 8 };

struct Row {
    QList<Cell> cells;
    QList<int> cellx; // right edges in twips
    QList<quint8> merges; // per cell: the Merge flags below
    int left = 0;     // \trleft
    bool borders = false;
    bool header = false; // \trhdr
};

struct Table {
    QList<Row> rows;
    Cell pending;
    bool rowOpen = false;
};

// Where a cell goes in the table's grid of columns.
struct CellPlace {
    int column = 0;
    int span = 1;
};

struct TableGrid {
    int columns = 1;
    QList<int> edges; // right edges of the columns in twips; empty when unknown
    int left = 0;     // the left edge in twips
    QList<QList<CellPlace>> places; // per row, per cell
};

// Writes paragraphs and tables in document order with one cursor.
class Writer {
public:
    explicit Writer(QTextDocument *document);
    void write(const Item &item);
    // Ends the one edit that the whole writing is; call when all is written.
    void finish();

private:
    void write(QTextCursor &cursor, const Item &item, bool &first);
    void writeParagraph(QTextCursor &cursor, const Paragraph &paragraph, bool &first);
    void writeTable(QTextCursor &cursor, const Table &table, bool &first);
    void writeRows(QTextCursor &cursor, const Table &table, const TableGrid &grid, int from, int to,
                   const QTextTableFormat &format);
    static void mergeCells(QTextTable *textTable, const Table &table, const TableGrid &grid, int firstRow);
    // Tables longer than half as much again are written in pieces of
    // about this many rows.
    static constexpr int kTablePiece = 100, kHeadedTablePiece = 1000;
    QTextDocument *m_document;
    std::unique_ptr<QTextCursor> m_cursor;
    bool m_first = true;
    int m_images = 0;
};

} // namespace Rtf
