#pragma once

#include "core/fill/spreadsheet.h"

#include <QList>
#include <QMap>
#include <QString>

// The cells of one worksheet as read from its XML, with the places in that
// XML where each row and cell was found, and the cells written since. Rows
// and cells come in runs because ODF compresses equal neighbours into one
// element with a repeat count.
namespace Native {

struct CellRun {
    int column = 0;
    int count = 1;
    QString text;
    QString style;
    qsizetype start = 0; // the element's characters in the sheet's XML
    qsizetype tagEnd = 0;
    qsizetype end = 0;
    // Where the text is read from when it is read lazily (see Grid::textOf).
    char kind = 0;
    bool formula = false;
    qsizetype valueStart = -1;
    qsizetype valueEnd = -1;
};

struct RowRun {
    int row = 0;
    int count = 1;
    QList<CellRun> cells; // ascending, not overlapping
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype tagEnd = 0;     // just after the row's start tag
    qsizetype contentEnd = 0; // where the row's end tag begins; == end when it has none
};

} // namespace Native

// A sheet has tens of thousands of runs: lists of them grow by moving their
// bytes rather than copying each run.
Q_DECLARE_TYPEINFO(Native::CellRun, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(Native::RowRun, Q_RELOCATABLE_TYPE);

namespace Native {

using Edits = QMap<int, QMap<int, QString>>; // row -> column -> text

class Grid : public Sheets::Worksheet {
public:
    Result<QString> cellText(int row, int column) override;
    Status setCellText(int row, int column, const QString &text) override;
    Result<bool> cellUsed(int row, int column) override;
    std::optional<char32_t> unfitCharacter(const QString &text) const override;
    // The sheet's XML with the written cells in it.
    virtual Result<QByteArray> rewritten() const = 0;
    // A cell's text as read; formats with many cells decode it only when
    // it is asked for.
    virtual QString textOf(const CellRun &cell) const { return cell.text; }
    // The same, or the damage found in it or in any text decoded before.
    Result<QString> readText(const CellRun &cell) const;

    QList<RowRun> rows; // ascending, not overlapping
    const Edits &edits() const { return m_edits; }

    const RowRun *rowAt(int row) const;
    static const CellRun *cellAt(const RowRun &row, int column);
    const CellRun *cellAt(int row, int column) const;
    // The style a written cell without one of its own takes: that of the
    // marker line it was copied from (the cell above, else the one to the
    // left), as the sheet was read.
    QString inheritedStyle(int row, int column) const;
    // The style a cell gets when `text` is written into it: a marker copied
    // one line on takes the style of the marker it was copied from; any
    // other cell keeps its own, or else inherits as above.
    QString styleFor(int row, int column, const QString &text) const;

protected:
    // Texts decoded when asked for may turn out damaged, also while the
    // sheet is written back: the first damage found stays, and the calls
    // that can fail answer it.
    void markDamaged(const QString &why) const;
    Status damage() const;

private:
    Edits m_edits;
    mutable QString m_damage;
};

// Text for XML character data and attribute values.
QString escapeXml(const QString &text);

} // namespace Native

namespace Native {

// One change to a text: the characters [start, end) become `text`.
// Insertions (start == end) at the same place keep the order they were made.
struct Splice {
    qsizetype start = 0;
    qsizetype end = 0;
    QString text;
};

Result<QString> applySplices(const QString &source, QList<Splice> splices);

// A start tag (`<row r="5">`, `<c r="A1"/>`) with an attribute set to a
// value, or removed when `value` is null.
QString withAttribute(const QString &tag, const QString &name, const QString &value);
// An attribute's value in a start tag; null when it has none.
QString attributeOf(const QString &tag, const QString &name);

} // namespace Native
